// SPDX-License-Identifier: MIT
// The shared strings of a workbook (.xlsx sharedStrings.xml, .xls SST), the
// one part of a workbook held in memory while its sheet streams. Kept as one
// block of characters and an end offset per string: about a third of the
// memory of separate strings when most are short and unique (PESELs, phone
// numbers), so that a sheet four times as long does not need nearly four
// times the memory.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp {

class SharedStringTable {
public:
    void reserve(std::size_t strings, std::size_t characters) {
        ends_.reserve(strings);
        chars_.reserve(characters);
    }
    // Throws std::length_error past 4 GB of text.
    void add(std::string_view text) {
        if (chars_.size() + text.size() > UINT32_MAX) throw std::length_error("shared strings");
        chars_.append(text);
        ends_.push_back(static_cast<std::uint32_t>(chars_.size()));
    }
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t index) const {
        const std::uint32_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(chars_).substr(begin, ends_[index] - begin);
    }

private:
    std::string chars_;
    std::vector<std::uint32_t> ends_;
};

} // namespace xls2qdp
