// SPDX-License-Identifier: MIT
// The POZ package written through the package layer and read back with
// qdpcore's reader.
#include "common/Windows1250.h"
#include "common/testing/RecordingSink.h"
#include "declarations/QdpPOZPaczka.h"
#include "declarations/testing/PozTestTable.h"

#include <qdpcore/qdpcore.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;

struct ReadSection {
    std::string code;
    std::vector<std::string> names, types, descriptions;
    std::vector<int> sizes;
    std::vector<std::vector<std::string>> records; // Windows-1250 field texts
};

// Reads every section of the first document; fails the test on any code.
std::vector<ReadSection> readBack(const std::string& path, std::string& packageType) {
    QdpHandle handle = 0;
    std::int32_t version = 0, totalSize = 0;
    std::uint32_t documents = 0;
    char type[33] = {}, program[33] = {}, date[11] = {}, description[251] = {}, sizeText[11] = {};
    std::int32_t rc = ReadPaczkaHeadC(&handle, path.c_str(), &version, type, program, &documents,
                                      date, description, &totalSize, sizeText);
    std::vector<ReadSection> result;
    struct Closer {
        QdpHandle h;
        ~Closer() {
            if (h) {
                FileClose(h);
                Clear(h);
            }
        }
    } closer{handle};
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(documents, 1u);
    packageType = type;
    if (rc != 1 || documents != 1) return result;
    EXPECT_EQ(SetCurrentDokument(handle, 0), 1);
    std::int32_t offset = 0, length = 0, docVersion = 0, docVariant = 0;
    std::uint32_t sections = 0;
    char docType[33] = {}, docDate[11] = {}, docDescription[251] = {};
    EXPECT_EQ(ReadDokumentHeadC(handle, &offset, &length, docType, &docVersion, &docVariant,
                                &sections, docDate, docDescription),
              1);
    EXPECT_STREQ(docType, "X_DATA_EXPORT");
    EXPECT_EQ(docVersion, 4);
    EXPECT_EQ(docVariant, 1);
    for (std::uint32_t s = 0; s < sections; ++s) {
        ReadSection section;
        EXPECT_EQ(SetCurrentSekcja(handle, s), 1);
        char code[17] = {}, sectionDescription[251] = {};
        std::uint32_t fields = 0, records = 0;
        EXPECT_EQ(
            ReadSekcjaHeadC(handle, &offset, &length, code, &fields, &records, sectionDescription),
            1);
        section.code = code;
        std::vector<char> names(25 * fields + 1), types(5 * fields + 1), sizes(5 * fields + 1),
            precisions(5 * fields + 1), descriptions(251 * fields + 1);
        EXPECT_EQ(ReadListaDefPolC(handle, names.data(), types.data(), sizes.data(),
                                   precisions.data(), descriptions.data()),
                  1);
        std::size_t recordLength = 2;
        for (std::uint32_t f = 0; f < fields; ++f) {
            section.names.emplace_back(&names[25 * f], strnlen(&names[25 * f], 25));
            section.types.emplace_back(&types[5 * f], strnlen(&types[5 * f], 5));
            section.sizes.push_back(
                std::stoi(std::string(&sizes[5 * f], strnlen(&sizes[5 * f], 5))));
            section.descriptions.emplace_back(&descriptions[251 * f],
                                              strnlen(&descriptions[251 * f], 251));
            recordLength += static_cast<std::size_t>(section.sizes.back()) + 1;
        }
        std::vector<char> record(recordLength + 64);
        while ((rc = ReadRecordC(handle, record.data())) == 1) {
            std::vector<std::string> values;
            std::size_t at = 0;
            for (int size : section.sizes) {
                values.emplace_back(&record[at],
                                    strnlen(&record[at], static_cast<std::size_t>(size)));
                at += static_cast<std::size_t>(size) + 1;
            }
            section.records.push_back(values);
        }
        EXPECT_EQ(rc, 41);
        EXPECT_EQ(section.records.size(), records);
        result.push_back(section);
    }
    return result;
}

std::string valueOf(const ReadSection& section, std::size_t record, const std::string& name) {
    for (std::size_t i = 0; i < section.names.size(); ++i)
        if (section.names[i] == name) return section.records.at(record).at(i);
    ADD_FAILURE() << "no field " << name;
    return {};
}

class PozPackageReadBackTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("qdp_readback_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        output = (folder / "dtest.qdp").string();
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
    std::string output;
    testing::RecordingSink sink;
};

TEST_F(PozPackageReadBackTest, FiveSectionsWithTheirDefinitionsAndRecords) {
    InMemoryWorkingTable table = testing::smallPozTable();
    {
        TQDPPOZPaczka package({nullptr, &sink});
        package.fInitPOZ("000123", "KS-0001", 4, 1, &table);
        ASSERT_EQ(package.fMakePaczka(output, folder.string(), true), 1);
    }
    std::string packageType;
    std::vector<ReadSection> sections = readBack(output, packageType);
    EXPECT_EQ(packageType, "POZ_DEKLARACJE");
    ASSERT_EQ(sections.size(), 5u);
    const char* codes[] = {"INSTALACJA", "DEKLARACJE", "ZGLASZAJACY", "WYCOFUJACY", "CUDZOZIEMCY"};
    std::size_t fieldCounts[] = {17, 62, 8, 8, 9};
    std::size_t recordCounts[] = {1, 4, 2, 2, 3};
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(codes[i]);
        EXPECT_EQ(sections[i].code, codes[i]);
        EXPECT_EQ(sections[i].names.size(), fieldCounts[i]);
        EXPECT_EQ(sections[i].records.size(), recordCounts[i]);
    }
    EXPECT_EQ(valueOf(sections[0], 0, "RODZAJ_APL"), "WXLS");
    EXPECT_EQ(valueOf(sections[0], 0, "WERSJA_APL"), "1.0101");
    EXPECT_EQ(valueOf(sections[1], 0, "DATA_UR"), "2004.03.15");
    EXPECT_EQ(valueOf(sections[1], 3, "FL_MODYF"), "1");
    EXPECT_EQ(valueOf(sections[1], 3, "NR_WERSJI"), "1");
    EXPECT_EQ(valueOf(sections[1], 0, "IMIE"), "\xA3ucja");
    EXPECT_EQ(sections[1].names[13], "POPRZ_KCH_ KOD");
    EXPECT_EQ(sections[1].descriptions[5], "Imi\xEA podopiecznego");
    EXPECT_EQ(sections[1].types[52], "N");
    EXPECT_EQ(sections[1].sizes[7], 12);
    EXPECT_EQ(windows1250ToUtf8(valueOf(sections[2], 0, "NAZWISKO")), "Żółkiewski");
}

} // namespace
} // namespace xls2qdp
