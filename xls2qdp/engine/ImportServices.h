// SPDX-License-Identifier: MIT
// What an import run drives, as three narrow services whose objects live as
// long as the step they stand for, so that their order cannot be broken:
//   WorkbookSource   open -> OpenWorkbook: check the header row (choosing
//                    the worksheet), read rows, count what lies below them
//   DeclarationStore open -> DeclarationRun: open the dictionaries, append
//                    rows, commit; the table is emptied when the run ends
//   PackageBuilder   name the new file; prepare -> PreparedPackage: save
// The production set (DefaultImportServices) wires the real modules with the
// settings given once; tests give fakes. Except where noted the services
// show no messages: the workflow owns the texts of the run.
#pragma once

#include "ImportSummary.h"
#include "common/GlobalVar.h"
#include "common/MessageSink.h"
#include "declarations/WorkingTableCursor.h"
#include "import/DeclarationRow.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace xls2qdp {

class ImportReport;

// Where the run finds the working table and the dictionaries.
struct ImportLocations {
    std::filesystem::path workingTableDir;
    std::filesystem::path dictionaryDir;
};

// What the header check of stage 1 found. When the first worksheet's
// header row is wrong and exactly one other worksheet has the right one,
// that worksheet is read instead.
struct HeaderCheck {
    int column = 0;          // 0 when the header row is right, else the first wrong column (1..11)
    std::string found;       // the text found in that column
    bool sheetEmpty = false; // the worksheet holds no cell at all
    bool noSheets = false;   // the workbook holds no worksheet
    std::string sheetName;   // the worksheet read
    int sheetNumber = 1;     // its place among the worksheets, from 1
    // When the first worksheet's header row is wrong: the other worksheets
    // whose header row is right (read when there is exactly one).
    std::vector<std::string> rightSheets;
    std::array<std::string, kDeclarationColumns> headers; // row 6 of the worksheet read
};

// A declaration workbook, open while the object lives.
class OpenWorkbook {
public:
    virtual ~OpenWorkbook() = default;
    // Checks row 6 (call it once, first).
    virtual HeaderCheck checkHeader() = 0;
    // The next data row, valid until the next call; null at the end of the
    // data. Throws on reader errors.
    virtual const DeclarationRow* nextRow() = 0;
    // After the end of the data: the filled rows further down.
    virtual RowsBelowEnd rowsBelowEnd() { return {}; }
};

class WorkbookSource {
public:
    virtual ~WorkbookSource() = default;
    // Opens the workbook; throws std::exception whose what() is the whole
    // message for the user.
    virtual std::unique_ptr<OpenWorkbook> open(const std::filesystem::path& file) = 0;
};

enum class DictionaryOpenResult { Opened, AccessError, IndexError };

struct DictionaryProblem {
    DictionaryOpenResult result = DictionaryOpenResult::Opened;
    std::string tableName; // the table the error concerns
};

// The working table held by one run. When the object goes, rows appended and
// not committed are rolled back, the table is emptied and closed, and so are
// the dictionaries; nothing is thrown from there.
class DeclarationRun {
public:
    virtual ~DeclarationRun() = default;
    // Opens the commune dictionary (building its name index when missing)
    // and, unless withoutCities, the city dictionary; rows may be appended
    // from then on.
    virtual DictionaryProblem openDictionaries(bool withoutCities) = 0;
    // Converts one sheet row into a working-table record and appends it;
    // false when the row is no declaration and was left out. Throws on
    // store errors.
    virtual bool append(const DeclarationRow& row) = 0;
    // Keeps the appended rows and hands them out to be read back in the
    // order they were appended (valid while the run lives).
    virtual WorkingTableCursor& commit() = 0;
};

class DeclarationStore {
public:
    virtual ~DeclarationStore() = default;
    // Empties the working table and opens it for one run. Null when it could
    // not be emptied, with failure naming the file and the reason; throws on
    // the other errors of the table store.
    virtual std::unique_ptr<DeclarationRun> open(std::string& failure) = 0;
};

// One package object, freed with it.
class PreparedPackage {
public:
    virtual ~PreparedPackage() = default;
    // Builds the package and saves it as outputFile, keeping the library's
    // temporary files in temporaryFolder. The package layer's result code:
    // qdpcode::Ok when the file was written, otherwise it has shown its own
    // message.
    virtual int save(const std::filesystem::path& outputFile, const std::string& temporaryFolder,
                     MessageSink& messages) = 0;
};

class PackageBuilder {
public:
    virtual ~PackageBuilder() = default;
    // A full path in folder (which ends with a delimiter) of a package file
    // that does not exist yet, named prefix + time stamp + ".qdp". Shows its
    // own message on failure.
    virtual std::optional<std::filesystem::path>
    newFileName(const std::string& folder, const std::string& prefix, MessageSink& messages) = 0;
    // The POZ package over the committed declarations (which must outlive
    // it); null when it cannot be initialised.
    virtual std::unique_ptr<PreparedPackage> prepare(WorkingTableCursor& declarations) = 0;
};

// The three services of one import run.
class ImportServices {
public:
    virtual ~ImportServices() = default;
    virtual WorkbookSource& workbooks() = 0;
    virtual DeclarationStore& declarations() = 0;
    virtual PackageBuilder& packages() = 0;
    // The run's import report by kind, for its summary.
    virtual std::vector<RemarkCount> remarks() const { return {}; }
    // The last run's import report, entry by entry (null when the services
    // keep none); valid while the services live.
    virtual const ImportReport* importReport() const { return nullptr; }
};

// Makes a fresh set of services for one import run with the program's settings.
using ImportServicesFactory = std::function<std::unique_ptr<ImportServices>(const GlobalVar&)>;

} // namespace xls2qdp
