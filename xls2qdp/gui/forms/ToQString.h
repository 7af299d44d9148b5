// SPDX-License-Identifier: MIT
// The importer's texts are UTF-8; Qt's are QString.
#pragma once

#include <QString>

#include <string_view>

namespace xls2qdp {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace xls2qdp
