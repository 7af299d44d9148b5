// SPDX-License-Identifier: MIT
// The shared strings of a workbook (.xlsx sharedStrings.xml, .xls SST), the
// one part of a workbook held in memory while its sheet streams, and the part
// that grows with the sheet. Kept as one block of characters, a byte of
// length per string and the start of every sixteenth string: about a third
// of the memory of separate strings when most are short and unique (PESELs,
// phone numbers), so that a sheet four times as long does not need nearly
// four times the memory. A string finds its start from its group's by adding
// the lengths of at most fifteen strings before it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xls2qdp {

class SharedStringTable {
public:
    // The most characters the table holds: far more than the texts of the
    // largest declaration sheet, far less than a small file could unpack to.
    static constexpr std::size_t kMaxCharacters = 512u << 20;

    void reserve(std::size_t strings, std::size_t characters) {
        lengths_.reserve(strings);
        groupStarts_.reserve(strings / kGroup + 1);
        chars_.reserve(std::min(characters, kMaxCharacters));
    }
    // Throws std::length_error past kMaxCharacters. cut: the text is the
    // start of a longer one.
    void add(std::string_view text, bool cut = false) {
        if (chars_.size() + text.size() > kMaxCharacters) throw std::length_error("shared strings");
        const auto index = static_cast<std::uint32_t>(lengths_.size());
        if (cut) cut_.push_back(index);
        if (index % kGroup == 0) groupStarts_.push_back(static_cast<std::uint32_t>(chars_.size()));
        if (text.size() < kLongLength) {
            lengths_.push_back(static_cast<std::uint8_t>(text.size()));
        } else {
            lengths_.push_back(kLongLength);
            longLengths_.emplace_back(index, static_cast<std::uint32_t>(text.size()));
        }
        chars_.append(text);
    }
    std::size_t size() const { return lengths_.size(); }
    // index: below size(), which the readers check against the file's number.
    std::string_view operator[](std::size_t index) const {
        std::size_t begin = groupStarts_[index / kGroup];
        for (std::size_t i = index - index % kGroup; i < index; ++i)
            begin += lengthOf(i);
        return std::string_view(chars_).substr(begin, lengthOf(index));
    }
    bool wasCut(std::size_t index) const {
        return std::binary_search(cut_.begin(), cut_.end(), static_cast<std::uint32_t>(index));
    }

private:
    static constexpr std::size_t kGroup = 16;
    // A length byte of this value: the length is in longLengths_.
    static constexpr std::uint8_t kLongLength = 255;

    std::size_t lengthOf(std::size_t index) const {
        const std::uint8_t length = lengths_[index];
        if (length != kLongLength) return length;
        const auto it = std::lower_bound(longLengths_.begin(), longLengths_.end(),
                                         static_cast<std::uint32_t>(index),
                                         [](const std::pair<std::uint32_t, std::uint32_t>& entry,
                                            std::uint32_t i) { return entry.first < i; });
        return it->second;
    }

    std::string chars_;
    std::vector<std::uint8_t> lengths_;
    std::vector<std::uint32_t> groupStarts_;                           // of strings 0, 16, 32, ...
    std::vector<std::pair<std::uint32_t, std::uint32_t>> longLengths_; // index, length; ascending
    std::vector<std::uint32_t> cut_; // indexes of cut strings, ascending
};

} // namespace xls2qdp
