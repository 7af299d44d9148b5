// SPDX-License-Identifier: MIT
// The POZ package written by the linked qdpcore and taken apart again from
// the file's bytes.
#include "common/Windows1250.h"
#include "common/testing/RecordingSink.h"
#include "declarations/QdpPOZPaczka.h"
#include "declarations/testing/PozTestTable.h"
#include "declarations/testing/QdpFileImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;
using testing::QdpFileImage;

class PozPackageFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("qdp_pozfile_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "tmp");
        output = (folder / "dtest.qdp").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    std::int32_t build(InMemoryWorkingTable& table, const std::string& tempFolder) {
        TQDPPOZPaczka package({nullptr, &sink}); // the linked library
        package.setProgramDir(folder.string() + "/");
        package.fInitPOZ("000123", "KS-0001", 4, 1, &table);
        return package.fMakePaczka(output, tempFolder, true);
    }
    // Field value by name in a record, in UTF-8.
    static std::string value(const QdpFileImage::Section& section, std::size_t record,
                             const std::string& name) {
        for (std::size_t i = 0; i < section.fields.size(); ++i)
            if (section.fields[i].name == name)
                return windows1250ToUtf8(section.records.at(record).at(i)).value_or("?");
        ADD_FAILURE() << "no field " << name;
        return {};
    }

    testing::RecordingSink sink;
    fs::path folder;
    std::string output;
};

TEST_F(PozPackageFileTest, WrittenPackageReadsBackSectionBySection) {
    InMemoryWorkingTable table = testing::smallPozTable();
    ASSERT_EQ(build(table, (folder / "tmp").string()), 1);
    EXPECT_TRUE(sink.texts.empty());
    QdpFileImage image = QdpFileImage::read(output);

    EXPECT_EQ(image.totalSize, image.fileLength);
    EXPECT_EQ(image.version, 1u);
    EXPECT_EQ(image.typeCode, "POZ_DEKLARACJE");
    EXPECT_EQ(image.programCode, "KW_XLSIMP");
    EXPECT_EQ(image.description, "Paczka zawiera deklaracje POZ");
    ASSERT_EQ(image.documents.size(), 1u);
    const auto& doc = image.documents[0];
    EXPECT_EQ(doc.typeCode, "X_DATA_EXPORT");
    EXPECT_EQ(doc.version, 4u);
    EXPECT_EQ(doc.variant, 1u);

    struct Expected {
        const char* code;
        std::size_t fields, records;
    } expected[] = {{"INSTALACJA", 17, 1},
                    {"DEKLARACJE", 62, 4},
                    {"ZGLASZAJACY", 8, 2},
                    {"WYCOFUJACY", 8, 2},
                    {"CUDZOZIEMCY", 9, 3}};
    ASSERT_EQ(doc.sections.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(expected[i].code);
        EXPECT_EQ(doc.sections[i].code, expected[i].code);
        EXPECT_EQ(doc.sections[i].fields.size(), expected[i].fields);
        EXPECT_EQ(doc.sections[i].records.size(), expected[i].records);
    }
    const auto& instalacja = doc.sections[0];
    EXPECT_EQ(value(instalacja, 0, "RODZAJ_APL"), "WXLS");
    EXPECT_EQ(value(instalacja, 0, "WERSJA_APL"), "1.0101");
    EXPECT_EQ(value(instalacja, 0, "KOD_SWIADCZ"), "KS-0001");
    EXPECT_EQ(value(instalacja, 0, "NR_INST_RUM"), "000123");

    const auto& deklaracje = doc.sections[1];
    EXPECT_EQ(deklaracje.fields[13].name, "POPRZ_KCH_ KOD");
    EXPECT_EQ(deklaracje.fields[7].type, "D");
    EXPECT_EQ(deklaracje.fields[7].size, 12u);
    EXPECT_EQ(value(deklaracje, 0, "DATA_UR"), "2004.03.15");
    EXPECT_EQ(value(deklaracje, 1, "DATA_UR"), "");
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(value(deklaracje, r, "FL_MODYF"), "1");
        EXPECT_EQ(value(deklaracje, r, "NR_WERSJI"), "1");
    }
    // Polish letters are single Windows-1250 bytes in values and descriptions.
    EXPECT_EQ(deklaracje.records[0][5], "\xA3ucja");          // Łucja
    EXPECT_EQ(deklaracje.records[0][14], "\xA3\xF3\x64\x9F"); // Łódź
    EXPECT_EQ(deklaracje.records[0][4].size(), 40u);          // cut to the field
    EXPECT_EQ(deklaracje.fields[5].description, "Imi\xEA podopiecznego");
    EXPECT_EQ(doc.sections[4].description,
              "Sekcja zawiera dane dodatkowe dla pacjent\xF3w i zg\xB3\x61szaj\xB9\x63ych, "
              "kt\xF3rzy s\xB9 cudzoziemcami");

    EXPECT_EQ(value(doc.sections[2], 0, "NAZWISKO"), "Żółkiewski");
    EXPECT_EQ(value(doc.sections[3], 1, "KOD_DEKLARACJI"), "3");
    EXPECT_EQ(value(doc.sections[4], 1, "NR_PASZP_ZGL"), "PZ1");
    EXPECT_EQ(value(doc.sections[4], 1, "NR_PASZPORTU"), "");
}

TEST_F(PozPackageFileTest, EmptyTableStillGivesASavedPackage) {
    InMemoryWorkingTable table = testing::emptyPozTable();
    ASSERT_EQ(build(table, (folder / "tmp").string()), 1);
    QdpFileImage image = QdpFileImage::read(output);
    ASSERT_EQ(image.documents.at(0).sections.size(), 5u);
    EXPECT_EQ(image.documents[0].sections[0].records.size(), 1u);
    for (std::size_t i = 1; i < 5; ++i)
        EXPECT_EQ(image.documents[0].sections[i].records.size(), 0u);
}

TEST_F(PozPackageFileTest, MissingTemporaryFolderIsReportedAndThePackageWritten) {
    InMemoryWorkingTable table = testing::smallPozTable();
    std::string missing = (folder / "no-such-folder").string();
    ASSERT_EQ(build(table, missing), 1);
    EXPECT_EQ(sink.texts, std::vector<std::string>{"Kartoteka: " + missing +
                                                   "/\r\n na zbiory tymczasowe nie istnieje!"});
    EXPECT_EQ(QdpFileImage::read(output).documents.at(0).sections.at(1).records.size(), 4u);
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(PozPackageFileTest, RefusedRecordLeavesNoFile) {
    InMemoryWorkingTable table = testing::smallPozTable();
    table.addRow({{"LID_DEKL", "5"}, {"IMIE", "Søren"}, {"FL_WYCOF", "0"}});
    EXPECT_EQ(build(table, (folder / "tmp").string()), 505);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_TRUE(fs::is_empty(folder / "tmp")); // the library's temporary files are gone too
}

} // namespace
} // namespace xls2qdp
