// SPDX-License-Identifier: MIT
// The import report as a table for a view: one row per entry, the report's
// columns (row, column letter, header, surname, PESEL, value, remark, advice).
// The entries are copied once into one block of text with offsets, so that a
// report of hundreds of thousands of entries takes a few bytes more than its
// text and the view asks only for the rows it shows. Rows can be limited to
// one kind of remark.
#pragma once

#include "import/conversion/ImportReport.h"

#include <QAbstractTableModel>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp {

class ReportTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReportTableModel(const ImportReport& report, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Shows only the entries of that kind; nullopt shows every entry.
    void setKindFilter(std::optional<ReportKind> kind);
    std::optional<ReportKind> kindFilter() const { return filter_; }
    // The entries of the report, whatever the filter.
    std::size_t entryCount() const { return entries_.size(); }

private:
    // The texts of one entry in the block, in the order of textAt's fields.
    static constexpr int kTexts = 6;
    struct Entry {
        int sheetRow;
        ReportKind kind;
        std::array<std::size_t, kTexts + 1> bounds; // offsets into text_
    };
    std::string_view textAt(const Entry& entry, int field) const;
    QVariant display(const Entry& entry, int column) const;

    std::string text_;
    std::vector<Entry> entries_;
    std::vector<std::size_t> shown_; // indexes into entries_, in report order
    std::optional<ReportKind> filter_;
};

} // namespace xls2qdp
