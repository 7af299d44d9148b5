// SPDX-License-Identifier: MIT
// The import report: every value that a run stored differently from what the
// sheet held (left empty, not placed in a dictionary, to be cut by the
// package), with its sheet row and column, so that nothing is dropped
// without a trace. The front ends show summary() and offer saveCsv().
//
// Entries are spooled to an anonymous temporary file as they come, so a run
// of hundreds of thousands of rows keeps its memory flat; only the counts
// per kind stay in memory.
#pragma once

#include "import/DeclarationRow.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>

namespace xls2qdp {

enum class ReportKind {
    DateNotConverted,       // a date cell in none of the accepted forms
    SchoolYearNotConverted, // column M not a whole year, or its dates impossible
    PostalCodeWrongLength,  // neither 5 nor 6 characters
    CommuneNotFound,
    CommuneAmbiguous, // several communes fit
    CityNotFound,
    CityAmbiguous,
    TextTooLong,               // longer than its package field: the package cuts it
    CharacterNotInWindows1250, // replaced by its base letter, a blank or "?"
    CityDictionaryMissing,     // once per run: no city codes at all
    CellNotRead,               // the reader took a cell as empty (an error value)
    CommuneNotInVoivodeship,   // communes of that name, none of them in KodWojew
    FormulaWithoutValue,       // the file holds a formula but not its result
    PeselInvalid,              // not 11 digits, wrong check digit or date
    BirthDateMismatch,         // the date of birth differs from the PESEL's
    RowSkipped,                // no surname and no first name: not a declaration
};
inline constexpr std::size_t kReportKindCount = 16;

struct ReportEntry {
    ReportEntry() = default;
    ReportEntry(int row, std::string columnLetters, std::string cellValue, ReportKind what,
                std::string text)
        : sheetRow(row), column(std::move(columnLetters)), value(std::move(cellValue)), kind(what),
          message(std::move(text)) {}

    int sheetRow = 0;   // 0 for a note about the whole run
    std::string column; // column letters, empty for a note about the whole run
    std::string value;  // the cell text as read
    ReportKind kind = ReportKind::DateNotConverted;
    std::string message; // what happened, in Polish
    std::string surname; // the row's surname and PESEL (columns C and B), so
    std::string pesel;   // that a sorted sheet can still be matched
    std::string header;  // the column's header in the sheet (filled by add)
};

class ImportReport {
public:
    ImportReport();
    ~ImportReport();
    ImportReport(const ImportReport&) = delete;
    ImportReport& operator=(const ImportReport&) = delete;

    // Adds one entry; its header is taken from the column headers when empty.
    void add(const ReportEntry& entry);
    // Forgets the entries and the column headers.
    void clear();

    // The texts of the sheet's header row (columns A to AL), which name the
    // columns of the entries added from now on.
    void setColumnHeaders(std::array<std::string, kDeclarationColumns> headers) {
        headers_ = std::move(headers);
    }

    std::size_t size() const { return total_; }
    bool empty() const { return total_ == 0; }
    std::size_t count(ReportKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }

    // Calls `visit` for every entry in the order they were added.
    void forEach(const std::function<void(const ReportEntry&)>& visit) const;

    // Polish lines for a message box: the number of entries of each kind.
    std::string summary() const;

    // CSV for a spreadsheet program: UTF-8 with BOM, ";" between fields, CRLF,
    // fields quoted when they hold ; " CR or LF. Columns: Wiersz;Kolumna;
    // Nagłówek;Nazwisko;PESEL;Wartość;Uwaga;Co zrobić. saveCsv replaces the
    // file as common/FileReplacement.h says: a failed save leaves no
    // half-written report, a link stays a link, a new report is readable by
    // its owner only. False on error, with the reason in the second form.
    void writeCsv(std::ostream& out) const;
    bool saveCsv(const std::filesystem::path& file) const;
    bool saveCsv(const std::filesystem::path& file, std::error_code& reason) const;

private:
    struct CloseFile {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    void flushPending() const;

    std::unique_ptr<std::FILE, CloseFile> spool_;
    mutable std::string pending_;     // serialised entries not yet in the spool
    mutable std::size_t spooled_ = 0; // bytes of whole entries in the spool
    std::array<std::size_t, kReportKindCount> counts_{};
    std::size_t total_ = 0;
    std::array<std::string, kDeclarationColumns> headers_;
};

// Short Polish description of a kind, as the summary and tests use it.
std::string_view describe(ReportKind kind);

// What the user can do about an entry of that kind, in Polish.
std::string_view advice(ReportKind kind);

} // namespace xls2qdp
