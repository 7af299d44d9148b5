// SPDX-License-Identifier: MIT
#include "ImportWorkflow.h"

#include "common/ProgramLocations.h"
#include "common/testing/RecordingMessageSink.h"

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

// Services that record what the run asked of them, in order.
class FakeServices : public ImportServices {
public:
    std::vector<std::string> calls;
    int sheetRows = 3;    // data rows from row 7 on
    int headerColumn = 0; // wrong header column, 0 = right
    bool emptyFails = false;
    bool emptyFailsLater = false;
    bool openWorkbookFails = false;
    bool nameFails = false;
    bool initFails = false;
    int packageResult = 1;
    int throwAtRow = 0;
    DictionaryProblem dictionaries;
    bool withoutCities = false;
    std::vector<int> writtenRows;
    int nextRow = 7;

    bool emptyWorkTable() override {
        calls.push_back("emptyWorkTable");
        writtenRows.clear();
        const bool fail = emptyFails;
        emptyFails = emptyFailsLater;
        return !fail;
    }
    void openWorkTable() override { calls.push_back("openWorkTable"); }
    DictionaryProblem openDictionaries(bool without) override {
        calls.push_back("openDictionaries");
        withoutCities = without;
        return dictionaries;
    }
    void writeDeclarationRow(const DeclarationRow& row) override {
        writtenRows.push_back(row.sheetRow);
    }
    void closeTables() noexcept override { calls.push_back("closeTables"); }
    std::optional<fs::path> newFileName(const std::string& folder, const std::string& prefix,
                                        MessageSink& messages) override {
        calls.push_back("newFileName " + prefix);
        if (nameFails) {
            messages.show(MessageKind::Error, "generator's own message");
            return std::nullopt;
        }
        return fs::path(folder + prefix + "ABCDEFGH.qdp");
    }
    bool openWorkbook(const fs::path&, MessageSink& messages) override {
        calls.push_back("openWorkbook");
        nextRow = 7;
        if (openWorkbookFails) messages.show(MessageKind::Error, "reader's own message");
        return !openWorkbookFails;
    }
    int checkSheetStructure() override {
        calls.push_back("checkSheetStructure");
        return headerColumn;
    }
    bool readSheetRow(DeclarationRow& row) override {
        if (nextRow == throwAtRow) throw std::runtime_error("Błąd odczytu arkusza");
        if (nextRow >= 7 + sheetRows) return false;
        row.sheetRow = nextRow++;
        return true;
    }
    void closeWorkbook() noexcept override { calls.push_back("closeWorkbook"); }
    bool initPackage(const GlobalVar& settings) override {
        calls.push_back("initPackage " + settings.NrInstalacji);
        return !initFails;
    }
    int makePackage(const fs::path& output, const std::string& temporaryFolder,
                    MessageSink& messages) override {
        calls.push_back("makePackage " + std::to_string(writtenRows.size()));
        EXPECT_EQ(temporaryFolder, output.parent_path().string() + "/");
        std::ofstream(output, std::ios::binary) << "QDP partial";
        if (packageResult != 1) messages.show(MessageKind::Error, "package layer's message");
        return packageResult;
    }
    void releasePackage() noexcept override { calls.push_back("releasePackage"); }
};

class FakeFrontEnd : public ImportFrontEnd {
public:
    RecordingMessageSink sink;
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
        m_root = fs::temp_directory_path() / ("xls2qdp-workflow-" + std::to_string(::getpid()));
        fs::create_directories(m_root / "program");
        fs::create_directories(m_root / "out");
        for (const char* file : {kWorkingTableFile, kCommuneDictionaryFile, kCityDictionaryFile})
            touch(m_root / "program" / file);
        touch(m_root / "sheet.xlsx");
        m_settings.NrInstalacji = "77";
        m_request.workbookFile = (m_root / "sheet.xlsx").string();
        m_request.targetFolder = (m_root / "out").string();
    }
    void TearDown() override { fs::remove_all(m_root); }
    static void touch(const fs::path& file) { std::ofstream(file) << "x"; }

    ImportOutcome run() {
        ImportWorkflow workflow(m_settings, {m_root / "program", m_root / "program"}, m_services);
        return workflow.run(m_request, m_frontEnd);
    }
    std::string folderText() const { return (m_root / "program").string() + "/"; }
    std::vector<fs::path> packagesWritten() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(m_root / "out"))
            files.push_back(entry);
        return files;
    }

    // Public: the table cases below arrange the fixture through lambdas.
    fs::path m_root;
    GlobalVar m_settings;
    ImportRequest m_request;
    FakeServices m_services;
    FakeFrontEnd m_frontEnd;
};

TEST_F(ImportWorkflowTest, ASuccessfulRunWritesThePackageAndReportsItsPath) {
    const ImportOutcome outcome = run();

    ASSERT_EQ(outcome.result, ImportResult::Succeeded);
    const fs::path expected = m_root / "out" / "dABCDEFGH.qdp";
    EXPECT_EQ(outcome.packageFile, expected);
    EXPECT_EQ(outcome.declarations, 3);
    EXPECT_THAT(packagesWritten(), ElementsAre(expected));
    EXPECT_THAT(m_services.calls,
                ElementsAre("emptyWorkTable", "openWorkTable", "openDictionaries", "newFileName d",
                            "openWorkbook", "checkSheetStructure", "initPackage 77",
                            "makePackage 3", "releasePackage", "emptyWorkTable", "closeWorkbook",
                            "closeTables"));
    EXPECT_THAT(m_frontEnd.events,
                ElementsAre("stage 1", "header ok", "stage 2", "reading", "row 10", "row 9",
                            "stage 3", "written dABCDEFGH.qdp", "finished"));
    EXPECT_THAT(m_frontEnd.sink.texts(),
                ElementsAre("Import zakończony, deklaracje zotsły zapisane w pliku:\r\n" +
                            expected.string()));
    EXPECT_FALSE(m_services.withoutCities);
    EXPECT_THAT(m_services.writtenRows, IsEmpty()); // emptied by the cleanup
}

TEST_F(ImportWorkflowTest, ProgressIsReportedEveryTenthRowAndAtTheEnd) {
    m_services.sheetRows = 25; // rows 7..31
    ASSERT_TRUE(run().succeeded());
    EXPECT_THAT(m_frontEnd.events, Contains("row 10"));
    EXPECT_THAT(m_frontEnd.events, Contains("row 20"));
    EXPECT_THAT(m_frontEnd.events, Contains("row 30"));
    EXPECT_THAT(m_frontEnd.events, Contains("row 31"));
    EXPECT_THAT(m_frontEnd.events, Not(Contains("row 11")));
}

TEST_F(ImportWorkflowTest, AnEmptySheetBuildsAnEmptyPackage) {
    m_services.sheetRows = 0;
    const ImportOutcome outcome = run();
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(outcome.declarations, 0);
    EXPECT_THAT(m_frontEnd.events, Contains("row 6"));
    EXPECT_THAT(m_services.calls, Contains("makePackage 0"));
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
         [](auto& t) { fs::remove(t.m_root / "program" / kCommuneDictionaryFile); },
         ImportResult::DataFileMissing,
         [](const auto& t) { return "Brak pliku:sl_gminy.db\r\nw katalogu: " + t.folderText(); },
         nullptr},
        {"working table missing",
         [](auto& t) { fs::remove(t.m_root / "program" / kWorkingTableFile); },
         ImportResult::DataFileMissing,
         [](const auto& t) { return "Brak pliku:xls_imp.db\r\nw katalogu: " + t.folderText(); },
         nullptr},
        {"working table not emptied", [](auto& t) { t.m_services.emptyFails = true; },
         ImportResult::WorkTableError,
         [](const auto&) {
             return std::string("Wystąpił błąd podczas dostepu do pliku: xls_imp.db");
         },
         nullptr},
        {"no workbook", [](auto& t) { t.m_request.workbookFile = "   "; },
         ImportResult::NoWorkbookChosen,
         [](const auto&) { return std::string("Proszę wskazać plik XLS!"); }, "focus workbook"},
        {"workbook missing", [](auto& t) { t.m_request.workbookFile += ".gone"; },
         ImportResult::WorkbookMissing,
         [](const auto&) { return std::string("Wskazany plik XLS nieistnieje !"); },
         "focus workbook"},
        {"no folder", [](auto& t) { t.m_request.targetFolder = ""; }, ImportResult::NoFolderChosen,
         [](const auto&) { return std::string("Proszę wskazać katalog wyjściowy!"); },
         "focus folder"},
        {"folder missing", [](auto& t) { t.m_request.targetFolder += "/none"; },
         ImportResult::FolderMissing,
         [](const auto&) { return std::string("Wskazany katalog nieistnieje !"); }, "focus folder"},
        {"dictionary not opened",
         [](auto& t) {
             t.m_services.dictionaries = {DictionaryOpenResult::AccessError, "sl_miejscowosci.db"};
         },
         ImportResult::DictionaryError,
         [](const auto&) {
             return std::string("Wystąpił błąd podczas dostępu do tabeli: sl_miejscowosci.db");
         },
         nullptr},
        {"index not built",
         [](auto& t) {
             t.m_services.dictionaries = {DictionaryOpenResult::IndexError, "sl_gminy.db"};
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
        m_services = FakeServices();
        m_frontEnd = FakeFrontEnd();
        c.arrange(*this);
        const ImportOutcome outcome = run();
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_THAT(m_frontEnd.sink.texts(), ElementsAre(c.message(*this)));
        EXPECT_THAT(m_services.calls, Not(Contains("openWorkbook")));
        EXPECT_THAT(m_services.calls, Not(Contains("newFileName d")));
        EXPECT_EQ(m_frontEnd.events.back(), "finished");
        if (c.focus) {
            EXPECT_THAT(m_frontEnd.events, Contains(c.focus));
        }
        EXPECT_THAT(packagesWritten(), IsEmpty());
        TearDown();
    }
}

TEST_F(ImportWorkflowTest, AMissingCityDictionaryIsAQuestion) {
    fs::remove(m_root / "program" / kCityDictionaryFile);
    m_frontEnd.answer = false;
    EXPECT_EQ(run().result, ImportResult::CityDictionaryDeclined);
    EXPECT_THAT(m_frontEnd.questions, ElementsAre("Brak pliku:sl_miejscowosci.db\r\nw katalogu: " +
                                                  folderText() + "\r\n\r\nKontynuować?"));
    EXPECT_THAT(m_frontEnd.events, Contains("focus workbook"));
    EXPECT_THAT(m_frontEnd.sink.texts(), IsEmpty());

    m_frontEnd = FakeFrontEnd();
    m_frontEnd.answer = true;
    EXPECT_TRUE(run().succeeded());
    EXPECT_TRUE(m_services.withoutCities);
}

TEST_F(ImportWorkflowTest, AWrongHeaderClosesTheWorkbookAndWritesNothing) {
    m_services.headerColumn = 4;
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.result, ImportResult::WrongHeader);
    EXPECT_EQ(outcome.headerColumn, 4);
    EXPECT_THAT(m_frontEnd.sink.texts(),
                ElementsAre("Format pliku MS Excel jest nieprawidłowy.\n\rMożliwe przyczyny "
                            "to:\n\r-niezgodna liczba kolumn\n\r-niewłaściwa kolejność "
                            "kolumn\n\r-niewłaściwe nazwy kolumn"));
    EXPECT_THAT(m_services.calls, Contains("closeWorkbook"));
    EXPECT_THAT(m_frontEnd.events, Not(Contains("header ok")));
    EXPECT_THAT(packagesWritten(), IsEmpty());
}

TEST_F(ImportWorkflowTest, StoppingDuringTheRowsWritesNoPackage) {
    m_services.sheetRows = 10;
    m_frontEnd.abortAfterPolls = 4; // while row 10 is in hand
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.result, ImportResult::Aborted);
    EXPECT_EQ(outcome.declarations, 3); // rows 7..9; the row in hand is not written
    EXPECT_THAT(m_frontEnd.sink.texts(), ElementsAre("Import przerwany przez użytkownika"));
    EXPECT_THAT(m_services.calls, Not(Contains("initPackage 77")));
    EXPECT_THAT(m_services.calls, Contains("closeWorkbook"));
    EXPECT_THAT(m_services.writtenRows, IsEmpty());
    EXPECT_THAT(packagesWritten(), IsEmpty());
    EXPECT_TRUE(outcome.packageFile.empty());
}

TEST_F(ImportWorkflowTest, AFailedSaveLeavesNoPartialPackage) {
    m_services.packageResult = 13;
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.result, ImportResult::PackageNotWritten);
    EXPECT_EQ(outcome.packageResult, 13);
    EXPECT_THAT(m_frontEnd.sink.texts(), ElementsAre("package layer's message"));
    EXPECT_THAT(packagesWritten(), IsEmpty());
    EXPECT_THAT(m_frontEnd.events, Not(Contains("written dABCDEFGH.qdp")));
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
        m_services = FakeServices();
        m_frontEnd = FakeFrontEnd();
        c.arrange(m_services);
        EXPECT_EQ(run().result, c.result);
        EXPECT_EQ(m_frontEnd.sink.texts(), c.messages);
        EXPECT_EQ(m_services.calls.back(), "closeTables");
        EXPECT_THAT(m_services.calls, Contains("releasePackage"));
        EXPECT_EQ(std::count(m_services.calls.begin(), m_services.calls.end(), "closeWorkbook"),
                  c.workbookClosed ? 1 : 0);
        EXPECT_THAT(m_services.writtenRows, IsEmpty());
        EXPECT_THAT(packagesWritten(), IsEmpty());
    }
}

TEST_F(ImportWorkflowTest, TwoRunsEachStartFromAnEmptyTable) {
    ASSERT_TRUE(run().succeeded());
    fs::remove_all(m_root / "out");
    fs::create_directories(m_root / "out");
    m_services.sheetRows = 2;
    const ImportOutcome second = run();
    ASSERT_TRUE(second.succeeded());
    EXPECT_EQ(second.declarations, 2);
    EXPECT_THAT(m_services.calls, Contains("makePackage 2"));
}

} // namespace
} // namespace xls2qdp
