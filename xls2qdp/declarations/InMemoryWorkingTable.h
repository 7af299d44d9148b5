// SPDX-License-Identifier: MIT
// A working table held in memory: rows handed in directly (tests, and
// callers without a table store). Fields are named up front; a field a row
// does not set, or sets to "", is null. Date fields hold "dd-mm-yyyy" text.
#pragma once

#include "declarations/WorkingTableCursor.h"

#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace xls2qdp {

class InMemoryWorkingTable : public WorkingTableCursor {
public:
    using Row = std::map<std::string, std::string, std::less<>>;

    explicit InMemoryWorkingTable(std::set<std::string, std::less<>> fields)
        : fields_(std::move(fields)) {}

    // Appends a row; a field that is not one of the table's throws.
    void addRow(Row row) {
        for (const auto& [name, value] : row)
            known(name);
        rows_.push_back(std::move(row));
    }
    std::size_t rowCount() const { return rows_.size(); }

    bool first() override {
        chosen_.reset();
        current_ = 0;
        return !atEnd();
    }
    bool firstReadingRows(std::span<const std::string_view>,
                          std::span<const RowKey> rows) override {
        chosen_.emplace(rows.begin(), rows.end());
        nextChosen_ = 0;
        return moveToChosen();
    }
    RowKey rowKey() const override {
        if (atEnd()) throw std::out_of_range("no current row");
        return static_cast<RowKey>(current_);
    }
    bool next() override {
        if (chosen_) return moveToChosen();
        if (current_ < rows_.size()) ++current_;
        return !atEnd();
    }
    bool atEnd() const override { return current_ >= rows_.size(); }

    std::optional<std::string> text(std::string_view field) const override {
        known(field);
        if (atEnd()) throw std::out_of_range("no current row");
        auto it = rows_[current_].find(field);
        if (it == rows_[current_].end() || it->second.empty()) return std::nullopt;
        return it->second;
    }
    std::optional<CalendarDate> date(std::string_view field) const override {
        std::optional<std::string> value = text(field);
        if (!value) return std::nullopt;
        CalendarDate date;
        char tail = 0;
        if (std::sscanf(value->c_str(), "%2d-%2d-%4d%c", &date.day, &date.month, &date.year,
                        &tail) != 3)
            return std::nullopt;
        return date;
    }

private:
    bool moveToChosen() {
        current_ = rows_.size();
        while (nextChosen_ < chosen_->size()) {
            const RowKey key = (*chosen_)[nextChosen_++];
            if (key < rows_.size()) {
                current_ = static_cast<std::size_t>(key);
                break;
            }
        }
        return !atEnd();
    }
    void known(std::string_view field) const {
        if (!fields_.contains(field))
            throw std::out_of_range("unknown working-table field " + std::string(field));
    }

    std::set<std::string, std::less<>> fields_;
    std::vector<Row> rows_;
    std::size_t current_ = 0;
    // The keys of a pass over chosen rows, and the next of them.
    std::optional<std::vector<RowKey>> chosen_;
    std::size_t nextChosen_ = 0;
};

} // namespace xls2qdp
