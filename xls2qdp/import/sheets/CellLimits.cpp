// SPDX-License-Identifier: MIT
#include "CellLimits.h"

#include "common/TextEncoding.h"

#include <algorithm>

namespace xls2qdp {

bool appendCellBytes(std::string& text, std::string_view piece) {
    const std::size_t room = kMaxCellBytes - std::min(text.size(), kMaxCellBytes);
    if (piece.size() <= room) {
        text.append(piece);
        return false;
    }
    text.append(piece.substr(0, room));
    return true;
}

bool cutToCellLength(std::string& text) {
    if (text.size() <= kMaxCellCharacters) return false; // fewer bytes than the limit
    const std::size_t length = utf8Prefix(text, kMaxCellCharacters).size();
    if (length == text.size()) return false;
    text.resize(length);
    return true;
}

} // namespace xls2qdp
