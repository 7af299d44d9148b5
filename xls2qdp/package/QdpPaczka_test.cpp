// SPDX-License-Identifier: MIT
#include "common/testing/RecordingSink.h"
#include "package/QdpCodes.h"
#include "package/QdpException.h"
#include "package/QdpPaczka.h"
#include "package/testing/FakeQdpLibrary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;
using testing::FakeQdpLibrary;
using testing::RecordingSink;

std::string hook(const char* name) {
    return std::string("Funkcja ") + name +
           " nie została zdefiniowana lub została zdefiniowana błędnie!";
}

class OneSection : public TQDPSekcja {
public:
    using TQDPSekcja::TQDPSekcja;
    std::int32_t fUserDefSekcja() override { return fSetSekcja("SEK", "Sekcja", showErrors()); }
    std::int32_t fUserDefPol() override {
        fAddPol("NAZWA", "C", 10, 0, "Nazwa");
        return fAddPol("DATA", "D", 12, 0, "Data");
    }
    std::int32_t fUserWriteData() override {
        for (const auto& r : rows)
            if (std::int32_t result = fAddRekord(r, showErrors()); result != 1) return result;
        return 1;
    }
    std::vector<std::vector<std::string>> rows;
};

class OneDocument : public TQDPDokument {
public:
    OneDocument(QdpBinding binding) : TQDPDokument(binding) {
        section = static_cast<OneSection*>(&addSekcja(std::make_unique<OneSection>(binding)));
    }
    std::int32_t fUserDefDokument() override {
        return fSetDokument("DOK", 4, 1, "Dokument", showErrors());
    }
    std::int32_t fUserDefListaSekcji() override {
        return section->fCreateSekcja(handle(), showErrors());
    }
    OneSection* section;
};

class OnePackage : public TQDPPaczka {
public:
    OnePackage(QdpBinding binding) : TQDPPaczka(binding) {
        document = static_cast<OneDocument*>(&addDokument(std::make_unique<OneDocument>(binding)));
    }
    std::int32_t fUserDefPaczka() override { return fSetPaczka(1, " TYP ", " PROG ", "Opis"); }
    std::int32_t fUserDefListaDokumentow() override {
        return document->fCreateDokument(handle(), showErrors());
    }
    OneDocument* document;
};

class PaczkaTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("qdp_paczka_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "prog");
        fs::create_directories(folder / "tmp");
        tmp = (folder / "tmp").string() + "/";
        output = (folder / "out.qdp").string();
    }
    void TearDown() override { fs::remove_all(folder); }
    std::unique_ptr<OnePackage> makePackage() {
        auto package = std::make_unique<OnePackage>(QdpBinding{&library, &sink});
        package->setProgramDir((folder / "prog").string() + "/");
        return package;
    }
    FakeQdpLibrary library;
    RecordingSink sink;
    fs::path folder;
    std::string tmp, output;
};

TEST_F(PaczkaTest, BuildSequenceSavesAndClears) {
    auto package = makePackage();
    package->document->section->rows = {{"Kowalski", "2004.03.15"}, {"Nowak", ""}};
    ASSERT_EQ(package->fMakePaczka(output, tmp, true), 1);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(library.calls,
              (std::vector<std::string>{"PaczkaC", "SetOutPathC", "AddDokumentC", "AddSekcjaC",
                                        "AddDefPolC", "AddDefPolC", "AddRekordC", "AddRekordC",
                                        "SaveC", "Clear"}));
    const auto& saved = library.lastSaved;
    EXPECT_EQ(saved.typeCode, "TYP"); // trimmed
    EXPECT_EQ(saved.programCode, "PROG");
    EXPECT_EQ(saved.outPath, tmp);
    EXPECT_EQ(saved.savedAs, output);
    ASSERT_EQ(saved.documents.size(), 1u);
    EXPECT_EQ(saved.documents[0].version, 4);
    EXPECT_EQ(saved.documents[0].sections[0].records.size(), 2u);
    EXPECT_TRUE(library.packages.empty());
    EXPECT_EQ(package->handle(), 0u);
}

TEST_F(PaczkaTest, EmptyOutputNameLeavesNoPackage) {
    auto package = makePackage();
    EXPECT_EQ(package->fMakePaczka("  ", tmp, true), 513);
    EXPECT_EQ(sink.texts, std::vector<std::string>{"Nazwa zbioru nie może być pusta!"});
    EXPECT_TRUE(library.calls.empty());
    EXPECT_TRUE(library.packages.empty());
    EXPECT_EQ(package->handle(), 0u);
}

TEST_F(PaczkaTest, DefaultHooksAndTheirMessages) {
    {
        TQDPPaczka plain({&library, &sink});
        EXPECT_EQ(plain.fMakePaczka(output, tmp, true), 109);
        EXPECT_EQ(sink.texts, std::vector<std::string>{hook("fUserDefPaczka")});
        EXPECT_TRUE(library.calls.empty());
    }
    {
        struct NoDocuments : TQDPPaczka {
            using TQDPPaczka::TQDPPaczka;
            std::int32_t fUserDefPaczka() override { return fSetPaczka(1, "T", "P", ""); }
        } package({&library, &sink});
        sink.texts.clear();
        EXPECT_EQ(package.fMakePaczka(output, tmp, true), 109);
        EXPECT_EQ(sink.texts, std::vector<std::string>{hook("fUserDefListaDokumentow")});
        EXPECT_TRUE(library.packages.empty());
    }
    {
        TQDPDokument plain({&library, &sink});
        sink.texts.clear();
        EXPECT_EQ(plain.fCreateDokument(1, true), 108);
        EXPECT_EQ(sink.texts, std::vector<std::string>{hook("fUserDefDokument")});
        struct NoSections : TQDPDokument {
            using TQDPDokument::TQDPDokument;
            std::int32_t fUserDefDokument() override { return fSetDokument("D", 4, 1, "", true); }
        } document({&library, &sink});
        QdpHandle handle = 0;
        library.PaczkaC(&handle, 1, "T", "P", "");
        sink.texts.clear();
        EXPECT_EQ(document.fCreateDokument(handle, true), 108);
        EXPECT_EQ(sink.texts, std::vector<std::string>{hook("fUserDefListaSekcji")});
    }
}

// The refusal names the value; the hooks that only passed its code up add
// nothing (they were written, they did not fail).
TEST_F(PaczkaTest, ARefusedRecordShowsOnlyItsOwnMessageAndSavesNothing) {
    auto package = makePackage();
    package->document->section->rows = {{"Kowalski", "2004.03.15"}, {"Nowak", "15-03-2004"}};
    EXPECT_EQ(package->fMakePaczka(output, tmp, true), 501);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_THAT(sink.texts[0], ::testing::EndsWith("„15-03-2004” nie jest datą w postaci "
                                                   "rrrr.mm.dd!"));
    EXPECT_EQ(std::count(library.calls.begin(), library.calls.end(), "SaveC"), 0);
    EXPECT_EQ(library.calls.back(), "Clear");
    EXPECT_TRUE(library.packages.empty());

    sink.texts.clear();
    auto quiet = makePackage();
    quiet->document->section->rows = {{"Nowak", "15-03-2004"}};
    EXPECT_EQ(quiet->fMakePaczka(output, "/no/such/folder", false), 501);
    EXPECT_TRUE(sink.texts.empty()); // the switch reaches the hooks too
}

TEST_F(PaczkaTest, MissingTemporaryFolderIsWarnedAboutAndThePackageStillWritten) {
    struct Case {
        const char* what;
        std::string folder;
        const char* ini; // content of qdp.ini beside the program, or null
        std::string message;
    } cases[] = {
        {"missing folder", (folder / "none").string(), nullptr,
         "Kartoteka: " + (folder / "none").string() + "/\r\n na zbiory tymczasowe nie istnieje!"},
        {"no folder, no qdp.ini", "", nullptr,
         "Kartoteka: \r\n na zbiory tymczasowe nie istnieje!"},
        {"qdp.ini names a missing folder", " ", "[OUTPUT]\nOUTPATH=/no/such/qdp/folder\n",
         "Kartoteka: /no/such/qdp/folder/\r\n na zbiory tymczasowe nie istnieje!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(folder / "prog" / "qdp.ini");
        if (c.ini) std::ofstream(folder / "prog" / "qdp.ini") << c.ini;
        auto package = makePackage();
        package->document->section->rows = {{"Kowalski", "2004.03.15"}};
        sink.texts.clear();
        EXPECT_EQ(package->fMakePaczka(output, c.folder, true), 1);
        EXPECT_EQ(sink.texts, std::vector<std::string>{c.message});
        EXPECT_EQ(library.lastSaved.savedAs, output);
        // The temporary files go to the system's folder for them instead.
        std::string systemTemp = fs::temp_directory_path().string();
        EXPECT_EQ(library.lastSaved.outPath.rfind(systemTemp, 0), 0u) << library.lastSaved.outPath;
    }
}

TEST_F(PaczkaTest, TemporaryFolderFromQdpIni) {
    std::ofstream(folder / "prog" / "qdp.ini") << "; settings\r\n[Other]\r\nOUTPATH=/x\r\n"
                                                  "[output]\r\n outpath = "
                                               << (folder / "tmp").string() << "\r\n";
    auto package = makePackage();
    ASSERT_EQ(package->fMakePaczka(output, "", true), 1);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(library.lastSaved.outPath, tmp); // delimiter appended
}

TEST_F(PaczkaTest, LibraryFailuresShowTheirCodeAndClear) {
    for (const char* call : {"PaczkaC", "SetOutPathC", "AddDokumentC", "SaveC"}) {
        SCOPED_TRACE(call);
        library.failWith = {{call, 46}};
        auto package = makePackage();
        sink.texts.clear();
        EXPECT_EQ(package->fMakePaczka(output, tmp, true), 46);
        ASSERT_FALSE(sink.texts.empty());
        EXPECT_EQ(sink.texts[0], "Błąd biblioteki: 46 \r\nTo nie jest kartoteka");
        EXPECT_TRUE(library.packages.empty());
    }
}

TEST_F(PaczkaTest, FailedSaveLeavesNoFileBehind) {
    struct FailingSave : FakeQdpLibrary {
        std::int32_t SaveC(QdpHandle, const char* path) override {
            std::ofstream(path) << ""; // the library leaves an empty file
            return 25;
        }
    } failing;
    OnePackage package({&failing, &sink});
    package.setProgramDir((folder / "prog").string() + "/");
    EXPECT_EQ(package.fMakePaczka(output, tmp, true), 25);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(sink.texts, std::vector<std::string>{
                              "Błąd biblioteki: 25 \r\nNa wybranym dysku nie ma dostatecznie "
                              "dużo wolnego miejsca"});

    // A file that was there before the save is the caller's and stays.
    std::ofstream(output) << "earlier";
    OnePackage again({&failing, &sink});
    again.setProgramDir((folder / "prog").string() + "/");
    EXPECT_EQ(again.fMakePaczka(output, tmp, true), 25);
    EXPECT_TRUE(fs::exists(output));
}

TEST_F(PaczkaTest, ExceptionFromTheLibraryStillClearsThePackage) {
    library.failWith = {{"AddRekordC", 42}};
    auto package = makePackage();
    package->document->section->rows = {{"Kowalski", "2004.03.15"}};
    EXPECT_THROW(package->fMakePaczka(output, tmp, true), QdpException);
    EXPECT_TRUE(library.packages.empty());
    EXPECT_EQ(package->handle(), 0u);
}

TEST_F(PaczkaTest, CipherCallsOnlyWithAnAlgorithm) {
    auto package = makePackage();
    package->setCrypt(3, 2, "key", "iv");
    ASSERT_EQ(package->fMakePaczka(output, tmp, true), 1);
    EXPECT_EQ(library.calls[1], "CryptAlgoMode");
    EXPECT_EQ(library.calls[2], "CryptKeyIv");

    library.calls.clear();
    library.failWith = {{"CryptKeyIv", 97}};
    auto failing = makePackage();
    failing->setCrypt(3, 2, "key", "iv");
    sink.texts.clear();
    EXPECT_EQ(failing->fMakePaczka(output, tmp, true), 97);
    EXPECT_TRUE(sink.texts.empty()); // no message for the cipher calls
}

} // namespace
} // namespace xls2qdp
