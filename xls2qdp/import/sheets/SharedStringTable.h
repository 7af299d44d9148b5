// SPDX-License-Identifier: MIT
// The shared strings of a workbook (.xlsx sharedStrings.xml, .xls SST), the
// one part of a workbook held in memory while its sheet streams. Kept as one
// block of characters and an end offset per string: about a third of the
// memory of separate strings when most are short and unique (PESELs, phone
// numbers), so that a sheet four times as long does not need nearly four
// times the memory.
#pragma once

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp {

class SharedStringTable {
public:
    // The most characters the table holds: far more than the texts of the
    // largest declaration sheet, far less than a small file could unpack to.
    static constexpr std::size_t kMaxCharacters = 512u << 20;

    void reserve(std::size_t strings, std::size_t characters) {
        ends_.reserve(strings);
        chars_.reserve(std::min(characters, kMaxCharacters));
    }
    // Throws std::length_error past kMaxCharacters. cut: the text is the
    // start of a longer one.
    void add(std::string_view text, bool cut = false) {
        if (chars_.size() + text.size() > kMaxCharacters) throw std::length_error("shared strings");
        if (cut) cut_.push_back(static_cast<std::uint32_t>(ends_.size()));
        chars_.append(text);
        ends_.push_back(static_cast<std::uint32_t>(chars_.size()));
    }
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t index) const {
        const std::uint32_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(chars_).substr(begin, ends_[index] - begin);
    }
    bool wasCut(std::size_t index) const {
        return std::binary_search(cut_.begin(), cut_.end(), static_cast<std::uint32_t>(index));
    }

private:
    std::string chars_;
    std::vector<std::uint32_t> ends_;
    std::vector<std::uint32_t> cut_; // indexes of cut strings, ascending
};

} // namespace xls2qdp
