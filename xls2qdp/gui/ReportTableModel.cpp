// SPDX-License-Identifier: MIT
#include "ReportTableModel.h"
#include "ToQString.h"

namespace xls2qdp {

namespace {

// The report's columns: 0 is the sheet row, 7 the advice for the entry's kind;
// the others are the entry's texts in this order.
constexpr int kAdviceColumn = 7;
constexpr int kMessageColumn = 6;

} // namespace

ReportTableModel::ReportTableModel(const ImportReport& report, QObject* parent)
    : QAbstractTableModel(parent) {
    entries_.reserve(report.size());
    report.forEach([this](const ReportEntry& entry) {
        Entry stored{entry.sheetRow, entry.kind, {}};
        std::size_t field = 0;
        for (const std::string* text : {&entry.column, &entry.header, &entry.surname, &entry.pesel,
                                        &entry.value, &entry.message}) {
            stored.bounds[field++] = text_.size();
            text_ += *text;
        }
        stored.bounds[field] = text_.size();
        entries_.push_back(stored);
    });
    setKindFilter(std::nullopt);
}

std::string_view ReportTableModel::textAt(const Entry& entry, int field) const {
    return std::string_view(text_).substr(entry.bounds[field],
                                          entry.bounds[field + 1] - entry.bounds[field]);
}

void ReportTableModel::setKindFilter(std::optional<ReportKind> kind) {
    beginResetModel();
    filter_ = kind;
    shown_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (!kind || entries_[i].kind == *kind) shown_.push_back(i);
    endResetModel();
}

int ReportTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int ReportTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kReportColumns.size());
}

QVariant ReportTableModel::display(const Entry& entry, int column) const {
    if (column == 0) return entry.sheetRow > 0 ? QVariant(entry.sheetRow) : QVariant(QString());
    if (column == kAdviceColumn) return toQString(advice(entry.kind));
    return toQString(textAt(entry, column - 1));
}

QVariant ReportTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const Entry& entry = entries_[shown_[static_cast<std::size_t>(index.row())]];
    switch (role) {
    case Qt::DisplayRole:
        return display(entry, index.column());
    case Qt::ToolTipRole: // the long texts, whole
        if (index.column() >= kMessageColumn) return display(entry, index.column());
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == 0) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return toQString(kReportColumns[static_cast<std::size_t>(section)]);
}

} // namespace xls2qdp
