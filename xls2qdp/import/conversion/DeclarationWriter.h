// SPDX-License-Identifier: MIT
// Stage 2's writing half: turns one declaration row into one record of the
// working table (field rules, dictionary lookups, constants) and appends it.
// Values that cannot be stored as the sheet holds them are left as the rules
// say and noted in the import report, and so are PESELs that are not valid
// and dates of birth that differ from them; the row is written all the same.
// A row without surname and first name (a total, a note) is no declaration:
// it is noted and not written.
#pragma once

#include "DictionaryLookups.h"
#include "ImportReport.h"
#include "import/DeclarationRow.h"
#include "import/store/WorkingTable.h"

#include <functional>
#include <optional>
#include <string>

namespace xls2qdp {

struct ConversionSettings {
    std::string nrInstalacji;   // NR_INSTALACJI
    std::string kodOddzialuNFZ; // KOD_PLATNIKA, the patient's NFZ branch
};

class DeclarationWriter {
public:
    using Clock = std::function<store::LocalDateTime()>;

    // All references must outlive the writer. The table must be open with an
    // append transaction running while rows are written. An empty clock
    // reads the local time.
    DeclarationWriter(store::WorkingTable& table, DictionaryLookups& lookups,
                      ConversionSettings settings, ImportReport& report, Clock clock = {});

    // Begins a run: the declaration counter restarts at 0 and, without a
    // city dictionary, the report notes once that no city codes are filled.
    void startRun();

    // Adds one to the declaration counter, converts the row and appends it;
    // returns 0 (continue). A row that is no declaration is only noted (the
    // counter stays). A table error is raised as store::StoreError.
    int WriteDeclarationRow(const DeclarationRow& row);

    // Whether the row is a declaration: its surname or first name is filled.
    static bool isDeclaration(const DeclarationRow& row);

    int declarationCount() const { return counter_; }

    // Fills `record` from `row` as declaration number `number`. The record
    // shows cells of the row and texts of the settings rather than copies of
    // them: it is good while the row is.
    void convert(const DeclarationRow& row, int number, store::WorkingRecord& record);

private:
    void note(const DeclarationRow& row, const char* column, std::string_view value,
              ReportKind kind, std::string message);
    void copyText(store::WorkingRecord& record, store::WorkingField field,
                  const DeclarationRow& row, const char* column);
    // kept: value stays as it is until the record is appended (a cell of
    // row), so that the record need not copy it.
    void storeText(store::WorkingRecord& record, store::WorkingField field, std::string_view value,
                   const DeclarationRow& row, const char* column, bool kept = false);
    void copyPesel(store::WorkingRecord& record, store::WorkingField field,
                   const DeclarationRow& row, const char* column, std::string& pesel);
    void checkBirthDate(const std::string& pesel, store::WorkingField dateField,
                        const DeclarationRow& row, const char* dateColumn);
    // Converts a date cell; the date (or none) stays in lastDate_ for the
    // checks that follow it.
    void convertDate(store::WorkingRecord& record, store::WorkingField field,
                     const DeclarationRow& row, const char* column);
    void convertPostal(store::WorkingRecord& record, store::WorkingField field,
                       const DeclarationRow& row, const char* column);
    void lookUpAddress(store::WorkingRecord& record, const DeclarationRow& row,
                       const char* communeColumn, const char* cityColumn,
                       store::WorkingField communeField, store::WorkingField cityField);
    // The clock's time now into a date-and-time field; rows written within
    // one second share its text, made once.
    void setNow(store::WorkingRecord& record, store::WorkingField field);

    store::WorkingTable& table_;
    DictionaryLookups& lookups_;
    ConversionSettings settings_;
    ImportReport& report_;
    Clock clock_;
    int counter_ = 0;
    store::WorkingRecord record_;
    std::string pesel_; // the row's PESEL as written, for its notes
    std::optional<CalendarDate> lastDate_;
    std::string fitted_; // reused by every text that must be fitted to Windows-1250
    std::u32string replaced_;
    std::optional<store::LocalDateTime> lastNow_;
    std::string lastNowText_;
};

// The local date and time now, to the second.
store::LocalDateTime localNow();

} // namespace xls2qdp
