// SPDX-License-Identifier: MIT
#include "ImportWorkflow.h"

#include "common/ProgramLocations.h"
#include "common/testing/RecordingSink.h"
#include "declarations/InMemoryWorkingTable.h"
#include "engine/SheetWorkbookSource.h"
#include "engine/testing/TestInstall.h"
#include "import/conversion/ImportReport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <stdexcept>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

// Services that record what the run asked of them, in order. The objects
// they hand out report their end, so the order of the cleanup shows too.
class FakeServices : public ImportServices,
                     public WorkbookSource,
                     public DeclarationStore,
                     public PackageBuilder {
public:
    std::vector<std::string> calls;
    int sheetRows = 3;                // data rows from row 7 on
    int headerColumn = 0;             // wrong header column, 0 = right
    HeaderCheck header;               // what checkHeader finds besides the column
    std::vector<int> notDeclarations; // sheet rows the store leaves out
    RowsBelowEnd below;
    bool emptyFails = false;
    bool openWorkbookFails = false;
    bool nameFails = false;
    bool initFails = false;
    int packageResult = 1;
    int throwAtRow = 0;
    DictionaryProblem dictionaries;
    bool withoutCities = false;
    std::vector<int> writtenRows; // the working table: emptied when a run ends

    WorkbookSource& workbooks() override { return *this; }
    DeclarationStore& declarations() override { return *this; }
    PackageBuilder& packages() override { return *this; }

    std::unique_ptr<OpenWorkbook> open(const fs::path&) override {
        calls.push_back("open workbook");
        if (openWorkbookFails) throw std::runtime_error("reader's own message");
        return std::make_unique<Workbook>(*this);
    }
    std::unique_ptr<DeclarationRun> open(std::string& failure) override {
        calls.push_back("open store");
        writtenRows.clear();
        if (emptyFails) {
            failure = "store's reason";
            return nullptr;
        }
        return std::make_unique<Run>(*this);
    }
    std::optional<fs::path> newFileName(const std::string& folder, const std::string& prefix,
                                        MessageSink& messages) override {
        calls.push_back("newFileName " + prefix);
        if (nameFails) {
            messages.show(MessageKind::Error, "generator's own message");
            return std::nullopt;
        }
        return fs::path(folder + prefix + "ABCDEFGH.qdp");
    }
    std::unique_ptr<PreparedPackage> prepare(WorkingTableCursor&) override {
        calls.push_back("prepare");
        if (initFails) return nullptr;
        return std::make_unique<Package>(*this);
    }

private:
    struct Workbook : OpenWorkbook {
        explicit Workbook(FakeServices& s) : s(s) {}
        ~Workbook() override { s.calls.push_back("workbook closed"); }
        HeaderCheck checkHeader() override {
            s.calls.push_back("checkHeader");
            HeaderCheck check = s.header;
            check.column = s.headerColumn;
            return check;
        }
        RowsBelowEnd rowsBelowEnd() override { return s.below; }
        const DeclarationRow* nextRow() override {
            if (next == s.throwAtRow) throw std::runtime_error("Błąd odczytu arkusza");
            if (next >= 7 + s.sheetRows) return nullptr;
            row.sheetRow = next++;
            return &row;
        }
        FakeServices& s;
        int next = 7;
        DeclarationRow row;
    };
    struct Run : DeclarationRun {
        explicit Run(FakeServices& s) : s(s) {}
        ~Run() override {
            s.writtenRows.clear();
            s.calls.push_back("store closed");
        }
        DictionaryProblem openDictionaries(bool without) override {
            s.calls.push_back("openDictionaries");
            s.withoutCities = without;
            return s.dictionaries;
        }
        bool append(const DeclarationRow& row) override {
            if (std::count(s.notDeclarations.begin(), s.notDeclarations.end(), row.sheetRow))
                return false;
            s.writtenRows.push_back(row.sheetRow);
            return true;
        }
        WorkingTableCursor& commit() override {
            s.calls.push_back("commit " + std::to_string(s.writtenRows.size()));
            return table;
        }
        FakeServices& s;
        InMemoryWorkingTable table{{}};
    };
    struct Package : PreparedPackage {
        explicit Package(FakeServices& s) : s(s) {}
        ~Package() override { s.calls.push_back("package released"); }
        int save(const fs::path& output, const std::string& temporaryFolder,
                 MessageSink& messages) override {
            s.calls.push_back("save");
            EXPECT_EQ(temporaryFolder, output.parent_path().string() + "/");
            std::ofstream(output, std::ios::binary) << "QDP partial";
            if (s.packageResult != 1) messages.show(MessageKind::Error, "package layer's message");
            return s.packageResult;
        }
        FakeServices& s;
    };
};

class FakeFrontEnd : public ImportFrontEnd {
public:
    testing::RecordingSink sink;
    std::vector<std::string> events;
    std::vector<std::string> questions;
    bool answer = true;
    int abortAfterPolls = -1; // abort on this poll (1-based), -1 never
    int polls = 0;

    MessageSink& messages() override { return sink; }
    bool askYesNo(std::string_view question) override {
        questions.emplace_back(question);
        return answer;
    }
    bool abortRequested() override { return ++polls == abortAfterPolls; }
    void stageStarted(ImportStage stage) override {
        events.push_back("stage " + std::to_string(static_cast<int>(stage)));
    }
    void sheetStructureAccepted() override { events.push_back("header ok"); }
    void sheetRowReached(int row) override { events.push_back("row " + std::to_string(row)); }
    void readingStarted() override { events.push_back("reading"); }
    void runFinished() override { events.push_back("finished"); }
    void packageWritten(std::string_view name) override {
        events.push_back("written " + std::string(name));
    }
    void focusField(ImportField field) override {
        events.push_back(field == ImportField::WorkbookFile ? "focus workbook" : "focus folder");
    }
};

class ImportWorkflowTest : public ::testing::Test {
public:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("xls2qdp-workflow-" + std::to_string(::getpid()));
        fs::create_directories(root_ / "program");
        fs::create_directories(root_ / "out");
        for (const char* file : {kWorkingTableFile, kCommuneDictionaryFile, kCityDictionaryFile})
            touch(root_ / "program" / file);
        touch(root_ / "sheet.xlsx");
        settings_.NrInstalacji = "77";
        request_.workbookFile = (root_ / "sheet.xlsx").string();
        request_.targetFolder = (root_ / "out").string();
    }
    void TearDown() override { fs::remove_all(root_); }
    static void touch(const fs::path& file) { std::ofstream(file) << "x"; }

    ImportOutcome run() {
        ImportWorkflow workflow({root_ / "program", root_ / "program"}, services_);
        return workflow.run(request_, frontEnd_);
    }
    std::string folderText() const { return (root_ / "program").string() + "/"; }
    std::vector<fs::path> packagesWritten() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(root_ / "out"))
            files.push_back(entry);
        return files;
    }

    // Public: the table cases below arrange the fixture through lambdas.
    fs::path root_;
    GlobalVar settings_;
    ImportRequest request_;
    FakeServices services_;
    FakeFrontEnd frontEnd_;
};

TEST_F(ImportWorkflowTest, ASuccessfulRunWritesThePackageAndReportsItsPath) {
    const ImportOutcome outcome = run();

    ASSERT_EQ(outcome.result, ImportResult::Succeeded);
    const fs::path expected = root_ / "out" / "dABCDEFGH.qdp";
    EXPECT_EQ(outcome.packageFile, expected);
    EXPECT_EQ(outcome.declarations, 3);
    EXPECT_THAT(packagesWritten(), ElementsAre(expected));
    EXPECT_THAT(services_.calls,
                ElementsAre("open store", "openDictionaries", "newFileName d", "open workbook",
                            "checkHeader", "commit 3", "prepare", "save", "package released",
                            "store closed", "workbook closed"));
    EXPECT_THAT(frontEnd_.events,
                ElementsAre("stage 1", "header ok", "stage 2", "reading", "row 10", "row 9",
                            "stage 3", "written dABCDEFGH.qdp", "finished"));
    EXPECT_THAT(frontEnd_.sink.texts,
                ElementsAre("Import zakończony, deklaracje zotsły zapisane w pliku:\r\n" +
                            expected.string()));
    EXPECT_FALSE(services_.withoutCities);
    EXPECT_THAT(services_.writtenRows, IsEmpty()); // emptied by the cleanup
}

TEST_F(ImportWorkflowTest, ProgressIsReportedEveryTenthRowAndAtTheEnd) {
    services_.sheetRows = 25; // rows 7..31
    ASSERT_TRUE(run().succeeded());
    EXPECT_THAT(frontEnd_.events, Contains("row 10"));
    EXPECT_THAT(frontEnd_.events, Contains("row 20"));
    EXPECT_THAT(frontEnd_.events, Contains("row 30"));
    EXPECT_THAT(frontEnd_.events, Contains("row 31"));
    EXPECT_THAT(frontEnd_.events, Not(Contains("row 11")));
}

// An empty package reported as a success would hide that nothing was sent.
TEST_F(ImportWorkflowTest, ASheetWithoutDeclarationsWritesNoPackage) {
    for (const bool onlySkippedRows : {false, true}) {
        SCOPED_TRACE(onlySkippedRows ? "only rows that are no declaration" : "no data row");
        services_ = FakeServices();
        frontEnd_ = FakeFrontEnd();
        services_.sheetRows = onlySkippedRows ? 2 : 0;
        if (onlySkippedRows) services_.notDeclarations = {7, 8};
        const ImportOutcome outcome = run();
        EXPECT_EQ(outcome.result, ImportResult::NoDeclarations);
        EXPECT_EQ(outcome.declarations, 0);
        ASSERT_TRUE(outcome.hasSummary);
        EXPECT_EQ(outcome.summary.rowsSkipped, onlySkippedRows ? 2 : 0);
        EXPECT_EQ(outcome.summary.lastDataRow, onlySkippedRows ? 8 : 6);
        ASSERT_EQ(frontEnd_.sink.texts.size(), 1u);
        EXPECT_THAT(frontEnd_.sink.texts[0],
                    ::testing::StartsWith("Arkusz nie zawiera żadnej deklaracji, więc plik QDP "
                                          "nie został zapisany."));
        EXPECT_THAT(services_.calls, Not(Contains("prepare")));
        EXPECT_THAT(packagesWritten(), IsEmpty());
    }
}

TEST_F(ImportWorkflowTest, TheSummaryCountsTheRowsAndWarnsOfRowsBelowABlankRow) {
    services_.sheetRows = 4; // rows 7..10
    services_.notDeclarations = {9};
    services_.below = {3, 13};
    const ImportOutcome outcome = run();
    ASSERT_TRUE(outcome.succeeded());
    ASSERT_TRUE(outcome.hasSummary);
    EXPECT_EQ(outcome.declarations, 3);
    EXPECT_EQ(outcome.summary.declarations, 3);
    EXPECT_EQ(outcome.summary.rowsSkipped, 1);
    EXPECT_EQ(outcome.summary.lastDataRow, 10);
    EXPECT_THAT(outcome.summary.warnings,
                ElementsAre("Wiersz 11 ma puste kolumny A–D, więc na nim kończą się dane; niżej "
                            "jest jeszcze 3 wypełnione wiersze (pierwszy: 13), których nie "
                            "zaimportowano. Jeśli to deklaracje, usuń pusty wiersz i zaimportuj "
                            "ponownie."));
    EXPECT_THAT(services_.calls, Contains("commit 3"));
}

TEST_F(ImportWorkflowTest, FailedChecksShowTheirMessageAndLeaveTheRunBeforeAnyStage) {
    const struct {
        const char* name;
        std::function<void(ImportWorkflowTest&)> arrange;
        ImportResult result;
        std::function<std::string(const ImportWorkflowTest&)> message;
        const char* focus;
    } cases[] = {
        {"commune dictionary missing",
         [](auto& t) { fs::remove(t.root_ / "program" / kCommuneDictionaryFile); },
         ImportResult::DataFileMissing,
         [](const auto& t) { return "Brak pliku:sl_gminy.db\r\nw katalogu: " + t.folderText(); },
         nullptr},
        {"working table missing",
         [](auto& t) { fs::remove(t.root_ / "program" / kWorkingTableFile); },
         ImportResult::DataFileMissing,
         [](const auto& t) { return "Brak pliku:xls_imp.db\r\nw katalogu: " + t.folderText(); },
         nullptr},
        {"working table not emptied", [](auto& t) { t.services_.emptyFails = true; },
         ImportResult::WorkTableError,
         [](const auto&) {
             return std::string("Wystąpił błąd podczas dostepu do pliku: xls_imp.db\r\n"
                                "store's reason");
         },
         nullptr},
        {"no workbook", [](auto& t) { t.request_.workbookFile = "   "; },
         ImportResult::NoWorkbookChosen,
         [](const auto&) { return std::string("Proszę wskazać plik XLS!"); }, "focus workbook"},
        {"workbook missing", [](auto& t) { t.request_.workbookFile += ".gone"; },
         ImportResult::WorkbookMissing,
         [](const auto&) { return std::string("Wskazany plik XLS nieistnieje !"); },
         "focus workbook"},
        {"no folder", [](auto& t) { t.request_.targetFolder = ""; }, ImportResult::NoFolderChosen,
         [](const auto&) { return std::string("Proszę wskazać katalog wyjściowy!"); },
         "focus folder"},
        {"folder missing", [](auto& t) { t.request_.targetFolder += "/none"; },
         ImportResult::FolderMissing,
         [](const auto&) { return std::string("Wskazany katalog nieistnieje !"); }, "focus folder"},
        {"folder is a file",
         [](auto& t) { t.request_.targetFolder = (t.root_ / "sheet.xlsx").string(); },
         ImportResult::FolderMissing,
         [](const auto& t) {
             return "Wskazany katalog nieistnieje !\r\n„" + (t.root_ / "sheet.xlsx").string() +
                    "” to plik, a nie katalog.";
         },
         "focus folder"},
        {"folder takes no file", [](auto& t) { t.request_.targetFolder = "/proc/self"; },
         ImportResult::FolderNotWritable,
         [](const auto&) {
             return std::string("Nie można zapisać pliku QDP w katalogu „/proc/self”: ");
         },
         "focus folder"},
        {"dictionary not opened",
         [](auto& t) {
             t.services_.dictionaries = {DictionaryOpenResult::AccessError, "sl_miejscowosci.db"};
         },
         ImportResult::DictionaryError,
         [](const auto&) {
             return std::string("Wystąpił błąd podczas dostępu do tabeli: sl_miejscowosci.db");
         },
         nullptr},
        {"index not built",
         [](auto& t) {
             t.services_.dictionaries = {DictionaryOpenResult::IndexError, "sl_gminy.db"};
         },
         ImportResult::DictionaryError,
         [](const auto&) {
             return std::string("Wystąpił błąd podczas tworzenia indeksu dla tabeli: sl_gminy.db");
         },
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        services_ = FakeServices();
        frontEnd_ = FakeFrontEnd();
        c.arrange(*this);
        const ImportOutcome outcome = run();
        EXPECT_EQ(outcome.result, c.result);
        ASSERT_EQ(frontEnd_.sink.texts.size(), 1u);
        EXPECT_THAT(frontEnd_.sink.texts[0], ::testing::StartsWith(c.message(*this)));
        EXPECT_THAT(services_.calls, Not(Contains("open workbook")));
        EXPECT_THAT(services_.calls, Not(Contains("newFileName d")));
        EXPECT_EQ(frontEnd_.events.back(), "finished");
        if (c.focus) {
            EXPECT_THAT(frontEnd_.events, Contains(c.focus));
        }
        EXPECT_THAT(packagesWritten(), IsEmpty());
        TearDown();
    }
}

TEST_F(ImportWorkflowTest, AMissingCityDictionaryIsAQuestion) {
    fs::remove(root_ / "program" / kCityDictionaryFile);
    frontEnd_.answer = false;
    EXPECT_EQ(run().result, ImportResult::CityDictionaryDeclined);
    EXPECT_THAT(frontEnd_.questions, ElementsAre("Brak pliku:sl_miejscowosci.db\r\nw katalogu: " +
                                                 folderText() + "\r\n\r\nKontynuować?"));
    EXPECT_THAT(frontEnd_.events, Contains("focus workbook"));
    EXPECT_THAT(frontEnd_.sink.texts, IsEmpty());

    frontEnd_ = FakeFrontEnd();
    frontEnd_.answer = true;
    EXPECT_TRUE(run().succeeded());
    EXPECT_TRUE(services_.withoutCities);
}

TEST_F(ImportWorkflowTest, AWrongHeaderClosesTheWorkbookAndWritesNothing) {
    services_.headerColumn = 4;
    services_.header.found = "Imie";
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.result, ImportResult::WrongHeader);
    EXPECT_EQ(outcome.headerColumn, 4);
    EXPECT_THAT(frontEnd_.sink.texts,
                ElementsAre("Format pliku MS Excel jest nieprawidłowy.\n\rMożliwe przyczyny "
                            "to:\n\r-niezgodna liczba kolumn\n\r-niewłaściwa kolejność "
                            "kolumn\n\r-niewłaściwe nazwy kolumn\n\rKolumna D (wiersz 6): "
                            "oczekiwano „Imię”, jest „Imie”."));
    EXPECT_THAT(services_.calls, Contains("workbook closed"));
    EXPECT_THAT(frontEnd_.events, Not(Contains("header ok")));
    EXPECT_THAT(packagesWritten(), IsEmpty());
    EXPECT_FALSE(outcome.hasSummary);
}

TEST_F(ImportWorkflowTest, SheetProblemsOfStageOneEndTheRunWithTheirOwnMessage) {
    const struct {
        const char* name;
        std::function<void(FakeServices&)> arrange;
        ImportResult result;
        std::string message;
    } cases[] = {
        {"empty worksheet",
         [](auto& s) {
             s.headerColumn = 1;
             s.header.sheetEmpty = true;
             s.header.sheetName = "Arkusz1";
         },
         ImportResult::EmptySheet, "Arkusz nr 1 „Arkusz1” skoroszytu"},
        {"no worksheet",
         [](auto& s) {
             s.headerColumn = 1;
             s.header.noSheets = true;
         },
         ImportResult::EmptySheet, "nie zawiera żadnego arkusza."},
        {"several worksheets with the header",
         [](auto& s) {
             s.headerColumn = 1;
             s.header.rightSheets = {"Styczeń", "Luty"};
         },
         ImportResult::WrongHeader,
         "Kolumna A (wiersz 6): oczekiwano „Rodzaj_listy”, jest pusta komórka.\n\rWłaściwy "
         "nagłówek mają arkusze: „Styczeń”, „Luty”. Przenieś arkusz z deklaracjami na pierwsze "
         "miejsce."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services_ = FakeServices();
        frontEnd_ = FakeFrontEnd();
        c.arrange(services_);
        EXPECT_EQ(run().result, c.result);
        ASSERT_EQ(frontEnd_.sink.texts.size(), 1u);
        EXPECT_THAT(frontEnd_.sink.texts[0], ::testing::HasSubstr(c.message));
        EXPECT_THAT(services_.calls, Contains("workbook closed"));
        EXPECT_THAT(packagesWritten(), IsEmpty());
    }
}

TEST_F(ImportWorkflowTest, StoppingDuringTheRowsWritesNoPackage) {
    services_.sheetRows = 10;
    frontEnd_.abortAfterPolls = 4; // while row 10 is in hand
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.result, ImportResult::Aborted);
    EXPECT_EQ(outcome.declarations, 3); // rows 7..9; the row in hand is not written
    EXPECT_THAT(frontEnd_.sink.texts, ElementsAre("Import przerwany przez użytkownika"));
    EXPECT_THAT(services_.calls, Not(Contains("prepare")));
    EXPECT_THAT(services_.calls, Contains("workbook closed"));
    EXPECT_THAT(services_.writtenRows, IsEmpty());
    EXPECT_THAT(packagesWritten(), IsEmpty());
    EXPECT_TRUE(outcome.packageFile.empty());
}

TEST_F(ImportWorkflowTest, AFailedSaveLeavesNoPartialPackage) {
    services_.packageResult = 13;
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.result, ImportResult::PackageNotWritten);
    EXPECT_EQ(outcome.packageResult, 13);
    EXPECT_THAT(frontEnd_.sink.texts, ElementsAre("package layer's message"));
    EXPECT_THAT(packagesWritten(), IsEmpty());
    EXPECT_THAT(frontEnd_.events, Not(Contains("written dABCDEFGH.qdp")));
}

TEST_F(ImportWorkflowTest, StageFailuresShowTheirMessagesAndClean) {
    const struct {
        const char* name;
        std::function<void(FakeServices&)> arrange;
        ImportResult result;
        std::vector<std::string> messages;
        bool workbookClosed;
    } cases[] = {
        {"no output name",
         [](auto& s) { s.nameFails = true; },
         ImportResult::OutputNameFailed,
         {"generator's own message", "Błąd podczas generacji pliku wyjściowego!"},
         false},
        {"workbook not opened",
         [](auto& s) { s.openWorkbookFails = true; },
         ImportResult::WorkbookNotOpened,
         {"reader's own message"},
         false},
        {"package not initialised",
         [](auto& s) { s.initFails = true; },
         ImportResult::PackageInitFailed,
         {"Błąd podczas inicjalizacji eksportu!"},
         true},
        {"reader error",
         [](auto& s) { s.throwAtRow = 8; },
         ImportResult::Failed,
         {"Błąd odczytu arkusza"},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services_ = FakeServices();
        frontEnd_ = FakeFrontEnd();
        c.arrange(services_);
        EXPECT_EQ(run().result, c.result);
        EXPECT_EQ(frontEnd_.sink.texts, c.messages);
        EXPECT_THAT(services_.calls, Contains("store closed"));
        EXPECT_EQ(std::count(services_.calls.begin(), services_.calls.end(), "workbook closed"),
                  c.workbookClosed ? 1 : 0);
        EXPECT_THAT(services_.writtenRows, IsEmpty());
        EXPECT_THAT(packagesWritten(), IsEmpty());
    }
}

TEST_F(ImportWorkflowTest, TwoRunsEachStartFromAnEmptyTable) {
    ASSERT_TRUE(run().succeeded());
    fs::remove_all(root_ / "out");
    fs::create_directories(root_ / "out");
    services_.sheetRows = 2;
    const ImportOutcome second = run();
    ASSERT_TRUE(second.succeeded());
    EXPECT_EQ(second.declarations, 2);
    EXPECT_THAT(services_.calls, Contains("commit 2"));
}

// The read loop over real sheets: the rows that reach the store, the
// progress the front end sees, and a stop that keeps the row in hand out.
TEST_F(ImportWorkflowTest, ReadsRealSheetsWithProgressAndStop) {
    std::string csv = "\n\n\n\n\nRodzaj_listy;PESEL;Nazwisko;Imię;Nazwisko_rodowe;Data_urodzenia;"
                      "Płeć;Tytuł_ubezp;Data_zgłoszenia;Nr_wyboru;Status_podopiecznego\n";
    for (int i = 0; i < 12000; ++i)
        csv += "L;" + std::to_string(85010100000LL + i) + ";Nowak;Jan\n";
    csv += ";;;;tylko E\nL;1;za;końcem\n";
    const fs::path big = root_ / "big.csv";
    std::ofstream(big, std::ios::binary) << csv;
    const fs::path fixtures = testing::sourceDir() / "xls2qdp/import/sheets/testdata";

    // Only the workbooks are real; the store and the package stay fakes.
    struct SheetServices : ImportServices {
        explicit SheetServices(FakeServices& fakes) : fakes(fakes), sheets(report) {}
        WorkbookSource& workbooks() override { return sheets; }
        DeclarationStore& declarations() override { return fakes; }
        PackageBuilder& packages() override { return fakes; }
        FakeServices& fakes;
        ImportReport report;
        SheetWorkbookSource sheets;
    };
    const struct {
        const char* name;
        fs::path workbook;
        int abortAfterPolls;
        ImportResult result;
        int declarations;
        std::size_t progressCount;
        int firstProgress, lastProgress;
    } cases[] = {
        // 12,000 data rows (7 to 12,006): every tenth row and the last data row.
        {"twelve thousand rows", big, -1, ImportResult::Succeeded, 12000, 1201, 10, 12006},
        {"row 7 already empty", fixtures / "row7_empty.xls", -1, ImportResult::NoDeclarations, 0, 1,
         6, 6},
        {"stopped with row 9 in hand", fixtures / "declarations.ods", 3, ImportResult::Aborted, 2,
         1, 10, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services_ = FakeServices();
        frontEnd_ = FakeFrontEnd();
        frontEnd_.abortAfterPolls = c.abortAfterPolls;
        request_.workbookFile = c.workbook.string();
        SheetServices services(services_);
        const ImportOutcome outcome =
            ImportWorkflow({root_ / "program", root_ / "program"}, services)
                .run(request_, frontEnd_);
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.declarations, c.declarations);
        std::vector<int> progress;
        for (const std::string& event : frontEnd_.events)
            if (event.starts_with("row ")) progress.push_back(std::stoi(event.substr(4)));
        ASSERT_EQ(progress.size(), c.progressCount);
        EXPECT_EQ(progress.front(), c.firstProgress);
        EXPECT_EQ(progress.back(), c.lastProgress);
        if (progress.size() > 1199) {
            EXPECT_EQ(progress[1199], 12000);
            // The row under the one that ended the data is counted, not read.
            ASSERT_EQ(outcome.summary.warnings.size(), 1u);
            EXPECT_THAT(outcome.summary.warnings[0],
                        ::testing::HasSubstr("Wiersz 12007 ma puste kolumny A–D"));
            EXPECT_THAT(outcome.summary.warnings[0], ::testing::HasSubstr("(pierwszy: 12008)"));
        }
        fs::remove_all(root_ / "out");
        fs::create_directories(root_ / "out");
    }
}

} // namespace
} // namespace xls2qdp
