// SPDX-License-Identifier: MIT
#include "CellLimits.h"

#include <algorithm>

namespace xls2qdp {

bool AppendCellBytes(std::string& text, std::string_view piece) {
    const std::size_t room = kMaxCellBytes - std::min(text.size(), kMaxCellBytes);
    if (piece.size() <= room) {
        text.append(piece);
        return false;
    }
    text.append(piece.substr(0, room));
    return true;
}

bool CutToCellLength(std::string& text) {
    if (text.size() <= kMaxCellCharacters) return false; // fewer bytes than the limit
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Every byte but the continuation bytes of UTF-8 starts a character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters++ == kMaxCellCharacters) {
            text.resize(i);
            return true;
        }
    }
    return false;
}

} // namespace xls2qdp
