// SPDX-License-Identifier: MIT
// Damaged package files: every kind of broken structure gets its code when
// the file is opened. A broken structure releases the package and its file
// at once; a file of the wrong length stays open for the caller to walk and
// clear, and walking whatever was read neither crashes nor misreads.
#include "PackageFixture.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

using namespace qdptest;

namespace {

// A package of two documents: the first with sections S1 (a plain and a
// blob field, two records) and S2, the second with S3. Positions of its
// parts, as the layout of the format gives them.
struct Fixture {
    TempDir dir;
    std::string file = dir.file("p.qdp");
    std::string bytes;
    // Absolute positions.
    std::size_t doc1 = 0, doc2 = 0, s1 = 0, s1Records = 0;
    std::size_t recordLength = 2 + 6 + 22;

    Fixture() {
        PackageSpec spec;
        SectionSpec s1spec{"S1",
                           "",
                           {{"A", "C", 5, ""}, {"B", "B", 21, ""}},
                           {{"abcde", "first blob"}, {"fghij", "second blob"}},
                           {}};
        SectionSpec s2spec{"S2", "", {{"X", "C", 3, ""}}, {{"xyz"}}, {}};
        spec.documents = {{"DOK1", "", {s1spec, s2spec}}, {"DOK2", "", {s2spec}}};
        EXPECT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);
        bytes = readFile(file);
        doc1 = 124 + 2 * 33;
        doc2 = doc1 + std::stoul(bytes.substr(124 + 20, 11));
        s1 = doc1 + 76 + 2 * 33;
        s1Records = s1 + 44 + 2 * 51;
    }
};

// Puts a decimal number (or any text) into a fixed-width field, zero padded.
void putField(std::string& bytes, std::size_t offset, std::size_t width, const std::string& text) {
    bytes.replace(offset, width, text + std::string(width - text.size(), '\0'));
}

// Visits everything that can be visited, whatever the codes say.
void walkEverything(QdpHandle h) {
    char text[251];
    uint32_t documents = 0;
    ReadPaczkaHeadC(&h, nullptr, nullptr, text, text, &documents, text, text, nullptr, text);
    for (uint32_t d = 0; d < documents + 1; ++d) {
        SetCurrentDokument(h, d);
        uint32_t sections = 0;
        ReadDokumentHeadC(h, nullptr, nullptr, text, nullptr, nullptr, &sections, text, text);
        for (uint32_t s = 0; s < sections + 1; ++s) {
            SetCurrentSekcja(h, s);
            uint32_t fields = 0, records = 0;
            ReadSekcjaHeadC(h, nullptr, nullptr, text, &fields, &records, text);
            std::vector<char> names(25 * fields + 1), types(5 * fields + 1), sizes(5 * fields + 1),
                precisions(5 * fields + 1), descriptions(251 * fields + 1);
            ReadListaDefPolC(h, names.data(), types.data(), sizes.data(), precisions.data(),
                             descriptions.data());
            std::size_t length = 2;
            for (uint32_t i = 0; i < fields; ++i) {
                length +=
                    std::strtoul(std::string(&sizes[5 * i], strnlen(&sizes[5 * i], 5)).c_str(),
                                 nullptr, 10) +
                    1;
            }
            std::string record(length, '\0');
            for (int i = 0; i < 10 && ReadRecordC(h, record.data()) != QDP_END_OF_SECTION; ++i) {
            }
        }
    }
}

// How many of this process's descriptors are open on path.
#if defined(_WIN32)
// There a file open without delete sharing (as the library opens it) cannot
// be renamed: 1 while it is open, else 0.
int descriptorsOpenOn(const std::string& path) {
    const std::string moved = path + ".moved";
    std::error_code ec;
    std::filesystem::rename(path, moved, ec);
    if (ec) return 1;
    std::filesystem::rename(moved, path, ec);
    return 0;
}
#else
int descriptorsOpenOn(const std::string& path) {
    const auto wanted = std::filesystem::canonical(path);
    int count = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(fd.path(), ec) == wanted) ++count;
    }
    return count;
}
#endif

struct DamageCase {
    const char* name;
    std::function<void(const Fixture&, std::string&)> damage;
    int32_t openCode;
};

class DamagedFile : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedFile, OpeningReportsTheFirstProblem) {
    Fixture f;
    std::string bytes = f.bytes;
    GetParam().damage(f, bytes);
    writeFile(f.file, bytes);

    QdpHandle h = 0;
    char programCode[33] = {};
    const int32_t code = GetParam().openCode;
    EXPECT_EQ(ReadPaczkaHeadC(&h, f.file.c_str(), nullptr, nullptr, programCode, nullptr, nullptr,
                              nullptr, nullptr, nullptr),
              code);
    EXPECT_STREQ(programCode, "PROGRAM") << "the header's values come back in every case";
    if (code == QDP_OK || code == QDP_BAD_TOTAL_SIZE) {
        ASSERT_NE(h, 0u);
        EXPECT_EQ(descriptorsOpenOn(f.file), 1);
        walkEverything(h);
        EXPECT_EQ(Clear(h), QDP_OK);
    } else {
        EXPECT_EQ(h, 0u) << "a broken structure leaves no package to clear";
    }
    EXPECT_EQ(descriptorsOpenOn(f.file), 0);
}

const DamageCase kDamage[] = {
    {"intact", [](const Fixture&, std::string&) {}, QDP_OK},
    {"documentListKeyword", [](const Fixture&, std::string& b) { b[124 + 33] = 'X'; },
     QDP_BAD_SPISDOK},
    {"documentListKeywordWithoutZero", [](const Fixture&, std::string& b) { b[124 + 7] = 'K'; },
     QDP_BAD_SPISDOK},
    {"noDocumentListed", [](const Fixture&, std::string& b) { putField(b, 82, 7, "0"); },
     QDP_NO_DOCUMENT_LISTED},
    {"negativeDocumentCount", [](const Fixture&, std::string& b) { putField(b, 82, 7, "-3"); },
     QDP_NO_DOCUMENT_LISTED},
    {"giantDocumentCount", [](const Fixture&, std::string& b) { putField(b, 82, 7, "999998"); },
     QDP_BAD_SPISDOK},
    {"documentKeyword", [](const Fixture& f, std::string& b) { b[f.doc2] = 'd'; },
     QDP_BAD_DOKUMENT},
    {"documentOffsetBeyondTheFile",
     [](const Fixture&, std::string& b) { putField(b, 124 + 9, 11, "9999999999"); },
     QDP_DOCUMENT_NOT_CREATED},
    {"documentOffsetIntoTheList",
     [](const Fixture&, std::string& b) { putField(b, 124 + 9, 11, "124"); },
     QDP_DOCUMENT_NOT_CREATED},
    {"documentsOverlapping",
     [](const Fixture& f, std::string& b) {
         putField(b, 124 + 33 + 9, 11, std::to_string(f.doc1));
     },
     QDP_DOCUMENT_NOT_CREATED},
    {"documentLengthBeyondTheFile",
     [](const Fixture&, std::string& b) { putField(b, 124 + 33 + 20, 11, "99999999"); },
     QDP_DOCUMENT_NOT_CREATED},
    {"documentLengthNegative",
     [](const Fixture&, std::string& b) { putField(b, 124 + 20, 11, "-1"); },
     QDP_DOCUMENT_NOT_CREATED},
    {"noSectionListed", [](const Fixture& f, std::string& b) { putField(b, f.doc1 + 56, 7, "0"); },
     QDP_NOTHING_TO_SELECT},
    {"moreSectionsListedThanThere",
     [](const Fixture& f, std::string& b) { putField(b, f.doc1 + 56, 7, "999998"); },
     QDP_BAD_SPISSEK},
    {"sectionListKeyword", [](const Fixture& f, std::string& b) { b[f.doc1 + 76 + 33 + 3] = 's'; },
     QDP_BAD_SPISSEK},
    {"sectionOffsetIntoTheDocumentHeader",
     [](const Fixture& f, std::string& b) { putField(b, f.doc1 + 76 + 9, 11, "0"); },
     QDP_SECTION_NOT_CREATED},
    {"sectionLengthBeyondTheDocument",
     [](const Fixture& f, std::string& b) { putField(b, f.doc1 + 76 + 33 + 20, 11, "100000"); },
     QDP_SECTION_NOT_CREATED},
    {"sectionKeyword", [](const Fixture& f, std::string& b) { b[f.s1 + 5] = '!'; }, QDP_BAD_SEKCJA},
    {"noFieldDefinitions", [](const Fixture& f, std::string& b) { putField(b, f.s1 + 26, 5, "0"); },
     QDP_RECORD_LENGTH_2},
    {"moreFieldsThanTheSectionHolds",
     [](const Fixture& f, std::string& b) { putField(b, f.s1 + 26, 5, "99999"); }, QDP_BAD_DEFPOL},
    {"giantRecordCount",
     [](const Fixture& f, std::string& b) { putField(b, f.s1 + 31, 11, "9999999999"); },
     QDP_SECTION_NOT_CREATED},
    {"fieldKeyword", [](const Fixture& f, std::string& b) { b[f.s1 + 44 + 51] = 'E'; },
     QDP_BAD_DEFPOL},
    {"negativeFieldSize",
     [](const Fixture& f, std::string& b) { putField(b, f.s1 + 44 + 39, 5, "-5"); },
     QDP_FIELD_NOT_CREATED},
    {"fieldSizeLargerThanTheSection",
     [](const Fixture& f, std::string& b) { putField(b, f.s1 + 44 + 39, 5, "99998"); },
     QDP_SECTION_NOT_CREATED},
    // Numbers end at the first byte that is not a digit: no digits read as 0.
    {"lettersInNumbers",
     [](const Fixture& f, std::string& b) { putField(b, f.s1 + 44 + 39, 5, "x5"); }, QDP_OK},
    {"truncated", [](const Fixture&, std::string& b) { b.resize(b.size() - 10); },
     QDP_BAD_TOTAL_SIZE},
    {"truncatedInTheDocumentList", [](const Fixture&, std::string& b) { b.resize(140); },
     QDP_BAD_TOTAL_SIZE},
    {"sizeTextChanged", [](const Fixture&, std::string& b) { putField(b, 111, 11, "1"); },
     QDP_BAD_TOTAL_SIZE},
    {"headerWithoutLineEnd",
     [](const Fixture&, std::string& b) {
         b[122] = ' ';
         b.resize(400, ' ');
     },
     QDP_BAD_TOTAL_SIZE},
};

INSTANTIATE_TEST_SUITE_P(Reader, DamagedFile, ::testing::ValuesIn(kDamage),
                         [](const auto& info) { return std::string(info.param.name); });

// Damage inside the records shows when they are read.
TEST(DamagedRecords, BrokenRecordsGiveTheirCodesAndTheWalkGoesOn) {
    const struct {
        const char* name;
        std::function<void(const Fixture&, std::string&)> damage;
        int32_t first;
        int32_t second;
    } cases[] = {
        {"recordWithoutLineEnd",
         [](const Fixture& f, std::string& b) { b[f.s1Records + f.recordLength - 1] = 'x'; },
         QDP_BAD_RECORD_END, QDP_OK},
        {"blobOffsetOutsideTheSection",
         [](const Fixture& f, std::string& b) { putField(b, f.s1Records + 6, 21, "99999999 5"); },
         QDP_SEEK_FAILED, QDP_OK},
        {"blobLengthOutsideTheSection",
         [](const Fixture& f, std::string& b) { putField(b, f.s1Records + 6, 21, "0 99999999"); },
         QDP_SEEK_FAILED, QDP_OK},
        {"negativeBlobReference",
         [](const Fixture& f, std::string& b) { putField(b, f.s1Records + 6, 21, "-1 -1"); },
         QDP_SEEK_FAILED, QDP_OK},
        {"emptyBlobReference",
         [](const Fixture& f, std::string& b) { putField(b, f.s1Records + 6, 21, ""); }, QDP_OK,
         QDP_OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        std::string bytes = f.bytes;
        c.damage(f, bytes);
        writeFile(f.file, bytes);
        QdpHandle h = 0;
        ASSERT_EQ(ReadPaczkaHeadC(&h, f.file.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr),
                  QDP_OK);
        ASSERT_EQ(SetCurrentDokument(h, 0), QDP_OK);
        ASSERT_EQ(SetCurrentSekcja(h, 0), QDP_OK);
        std::string record(f.recordLength, '\0');
        EXPECT_EQ(ReadRecordC(h, record.data()), c.first);
        EXPECT_EQ(ReadRecordC(h, record.data()), c.second);
        EXPECT_EQ(record.substr(0, 5), "fghij");
        EXPECT_EQ(ReadRecordC(h, record.data()), QDP_END_OF_SECTION);
        EXPECT_EQ(Clear(h), QDP_OK);
    }
}

} // namespace
