// SPDX-License-Identifier: MIT
// The building side of the library through its exported C functions.
#include "TempDir.h"

#include <qdpcore/qdpcore.h>
#include <seclay/seclay.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

using qdptest::readFile;
using qdptest::TempDir;
using qdptest::writeFile;

namespace {

// Zero-padded field of the file, as the layout tables give it.
std::string padded(const std::string& text, std::size_t width) {
    std::string s = text;
    s.resize(width, '\0');
    return s;
}

// A package that is cleared at the end of the test.
struct Package {
    Package() { EXPECT_EQ(PaczkaC(&h, 1, "TYP", "PROG", ""), QDP_OK); }
    ~Package() {
        if (h != 0) Clear(h);
    }
    QdpHandle h = 0;
};

// Offsets into a saved file with one document and one section and no
// descriptions: package header 124, one list entry, document header 76,
// one section entry, section header 44, then the field definitions.
constexpr std::size_t kFirstDefinition = 124 + 33 + 76 + 33 + 44;

TEST(Handles, ZeroUnknownAndClearedHandlesAnswer4) {
    QdpHandle cleared = 0;
    ASSERT_EQ(PaczkaC(&cleared, 1, "T", "P", nullptr), QDP_OK);
    ASSERT_NE(cleared, 0u);
    ASSERT_EQ(Clear(cleared), QDP_OK);
    char record[8] = {};
    const std::vector<std::function<int32_t(QdpHandle)>> calls = {
        [](QdpHandle h) { return SetCurrentPaczka(h); },
        [](QdpHandle h) { return Clear(h); },
        [](QdpHandle h) { return AddDokumentC(h, "D", 1, 1, nullptr); },
        [](QdpHandle h) { return AddSekcjaC(h, "S", nullptr); },
        [](QdpHandle h) { return AddDefPolC(h, "N", "C", "5", "0", nullptr); },
        [](QdpHandle h) { return AddDefPolsC(h, 1, "N", "C", "5", "0", nullptr); },
        [](QdpHandle h) { return SetDefPolExt(h, 0, 1, "f", "", "", 0, 0, 0); },
        [&](QdpHandle h) { return AddRekordC(h, record); },
        [](QdpHandle h) { return SetOutPathC(h, ""); },
        [](QdpHandle h) { return SaveC(h, "x.qdp"); },
        [](QdpHandle h) { return CryptAlgoMode(h, 2, 1); },
        [](QdpHandle h) { return CryptKeyIv(h, "12345678", ""); },
        [](QdpHandle h) { return CryptClear(h); },
        [](QdpHandle h) { return SetCurrentDokument(h, 0); },
        [](QdpHandle h) { return SetCurrentSekcja(h, 0); },
        [](QdpHandle h) { return SetCurrentSekcjaNoRes(h, 0); },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        for (QdpHandle h : {QdpHandle{0}, cleared, QdpHandle{0x7fff1234}}) {
            EXPECT_EQ(calls[i](h), QDP_NO_PACKAGE) << "call " << i << " handle " << h;
        }
    }
    // PaczkaC checks a non-zero handle before overwriting anything.
    for (QdpHandle h : {cleared, QdpHandle{0x7fff1234}}) {
        EXPECT_EQ(PaczkaC(&h, 1, "T", "P", nullptr), QDP_NO_PACKAGE);
    }
}

TEST(Handles, PaczkaCOnALiveHandleOverwritesTheHeaderAndCreatesNothing) {
    TempDir dir;
    Package p;
    const QdpHandle before = p.h;
    ASSERT_EQ(PaczkaC(&p.h, 3, "NEWTYPE", "NEWPROG", "opis"), QDP_OK);
    EXPECT_EQ(p.h, before);
    ASSERT_EQ(AddDokumentC(p.h, "D", 1, 1, nullptr), QDP_OK);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "F", "C", "5", "0", nullptr), QDP_OK);
    ASSERT_EQ(SaveC(p.h, dir.file("p.qdp").c_str()), QDP_OK);
    const std::string file = readFile(dir.file("p.qdp"));
    ASSERT_GE(file.size(), 375u);
    EXPECT_EQ(file.substr(9, 7), padded("3", 7));
    EXPECT_EQ(file.substr(16, 33), padded("NEWTYPE", 33));
    EXPECT_EQ(file.substr(49, 33), padded("NEWPROG", 33));
    EXPECT_EQ(file.substr(100, 251), padded("opis", 251));
}

TEST(Selection, DocumentAndSectionIndexes) {
    Package p;
    for (uint32_t index : {0u, 1u, UINT32_MAX}) {
        EXPECT_EQ(SetCurrentDokument(p.h, index), QDP_NOTHING_TO_SELECT) << index;
    }
    EXPECT_EQ(SetCurrentSekcja(p.h, 0), QDP_NO_DOCUMENT);
    ASSERT_EQ(AddDokumentC(p.h, "D1", 1, 1, nullptr), QDP_OK);
    ASSERT_EQ(AddDokumentC(p.h, "D2", 1, 1, nullptr), QDP_OK);
    EXPECT_EQ(SetCurrentDokument(p.h, 2), QDP_NO_DOCUMENT);
    EXPECT_EQ(SetCurrentSekcja(p.h, 0), QDP_NOTHING_TO_SELECT);
    EXPECT_EQ(SetCurrentSekcjaNoRes(p.h, 0), QDP_NOTHING_TO_SELECT);
    EXPECT_EQ(SetCurrentDokument(p.h, 0), QDP_OK);
    ASSERT_EQ(AddSekcjaC(p.h, "S1", nullptr), QDP_OK);
    ASSERT_EQ(AddSekcjaC(p.h, "S2", nullptr), QDP_OK);
    EXPECT_EQ(SetCurrentSekcja(p.h, 2), QDP_NO_SECTION);
    EXPECT_EQ(SetCurrentSekcja(p.h, 0), QDP_OK);
    EXPECT_EQ(SetCurrentSekcjaNoRes(p.h, 0), QDP_OK);
    EXPECT_EQ(SetCurrentSekcjaNoRes(p.h, 1), QDP_OK);
    // Field calls need a current document and a current section.
    QdpHandle fresh = 0;
    ASSERT_EQ(PaczkaC(&fresh, 1, "T", "P", nullptr), QDP_OK);
    EXPECT_EQ(AddDefPolC(fresh, "F", "C", "5", "0", nullptr), QDP_NO_DOCUMENT);
    EXPECT_EQ(AddSekcjaC(fresh, "S", nullptr), QDP_NO_DOCUMENT);
    ASSERT_EQ(AddDokumentC(fresh, "D", 1, 1, nullptr), QDP_OK);
    EXPECT_EQ(AddDefPolC(fresh, "F", "C", "5", "0", nullptr), QDP_NO_SECTION);
    EXPECT_EQ(AddDefPolsC(fresh, 1, "F", "C", "5", "0", nullptr), QDP_NO_SECTION);
    EXPECT_EQ(SetDefPolExt(fresh, 0, 1, "f", "", "", 0, 0, 0), QDP_NO_SECTION);
    char record[4] = {};
    EXPECT_EQ(AddRekordC(fresh, record), QDP_NO_SECTION);
    Clear(fresh);
}

// A package with one document and one section, saved into dir.
class SavedPackage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SetOutPathC(p.h, dir.prefix().c_str()), QDP_OK);
        ASSERT_EQ(AddDokumentC(p.h, "DOK", 4, 1, nullptr), QDP_OK);
    }
    std::string save() {
        const std::string path = dir.file("out.qdp");
        EXPECT_EQ(SaveC(p.h, path.c_str()), QDP_OK);
        return readFile(path);
    }
    std::string definition(const std::string& file, std::size_t i) {
        return file.substr(kFirstDefinition + 51 * i, 51);
    }
    TempDir dir;
    Package p;
};

TEST_F(SavedPackage, FieldDefinitionTextsAndNumbers) {
    ASSERT_EQ(AddSekcjaC(p.h, "ABCDEFGHIJKLMNOPQRST", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "Pole", "N", "12abc", "", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "NazwaDluzszaNizDwadziesciaCztery", "CHAR+", "12345", "2", nullptr),
              QDP_OK);
    EXPECT_EQ(AddDefPolC(p.h, "Za", "C", "99999", "0", nullptr), QDP_FORMAT_LIMIT);
    EXPECT_EQ(AddDefPolC(p.h, "Za", "C", "5", "99999", nullptr), QDP_FORMAT_LIMIT);
    EXPECT_EQ(AddDefPolC(p.h, "Ujemne", "C", "-1", "0", nullptr), QDP_FORMAT_LIMIT);
    const std::string file = save();
    // The section code is kept as its first 16 characters.
    EXPECT_EQ(file.substr(124 + 33 + 76 + 33 + 9, 17), padded("ABCDEFGHIJKLMNOP", 17));
    EXPECT_EQ(file.substr(124 + 33 + 76 + 33 + 26, 5), padded("2", 5));
    EXPECT_EQ(definition(file, 0), padded("DEFPOL", 9) + padded("Pole", 25) + padded("N", 5) +
                                       padded("12", 5) + padded("0", 5) + "\r\n");
    EXPECT_EQ(definition(file, 1), padded("DEFPOL", 9) + padded("NazwaDluzszaNizDwadziesc", 25) +
                                       padded("CHAR", 5) + "12345" + padded("2", 5) + "\r\n");
}

TEST_F(SavedPackage, AddDefPolsCReadsFixedWidthSlots) {
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    std::string names(3 * 25, '\0'), types(3 * 5, '\0'), sizes(3 * 5, '\0'),
        precisions(3 * 5, '\0'), descriptions(3 * 251, '\0');
    const char* n[] = {"PIERWSZE", "DRUGIE", "TRZECIE"};
    for (int i = 0; i < 3; ++i) {
        std::memcpy(&names[25 * i], n[i], std::strlen(n[i]));
        types[5 * i] = 'C';
        sizes[5 * i] = static_cast<char>('3' + i);
        precisions[5 * i] = '0';
    }
    std::memcpy(&descriptions[502], "opis trzeciego", 14);
    EXPECT_EQ(names.substr(50, 7), "TRZECIE");
    ASSERT_EQ(AddDefPolsC(p.h, 3, names.data(), types.data(), sizes.data(), precisions.data(),
                          descriptions.data()),
              QDP_OK);
    const std::string file = save();
    EXPECT_EQ(definition(file, 2).substr(0, 49), padded("DEFPOL", 9) + padded("TRZECIE", 25) +
                                                     padded("C", 5) + padded("5", 5) +
                                                     padded("0", 5));
    EXPECT_EQ(file.substr(kFirstDefinition + 2 * 51 + 49, 251), padded("opis trzeciego", 251));
}

TEST(DefPols, CountZeroGives13AndASkippedEntryGives7) {
    Package p;
    ASSERT_EQ(AddDokumentC(p.h, "D", 1, 1, nullptr), QDP_OK);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    EXPECT_EQ(AddDefPolsC(p.h, 0, "", "", "", "", nullptr), QDP_NO_FIELD_DEFINITIONS);
    std::string names(2 * 25, '\0'), types = std::string("C\0\0\0\0C\0\0\0\0", 10),
                                     sizes = std::string("99999"
                                                         "4\0\0\0\0",
                                                         10),
                                     precisions(10, '\0');
    names[0] = 'A';
    names[25] = 'B';
    EXPECT_EQ(
        AddDefPolsC(p.h, 2, names.data(), types.data(), sizes.data(), precisions.data(), nullptr),
        QDP_FIELD_NOT_CREATED);
    // The second entry was still added: a record of its length is accepted.
    char record[8] = "abcd";
    EXPECT_EQ(AddRekordC(p.h, record), QDP_OK);
    EXPECT_EQ(AddDefPolsC(p.h, 1, nullptr, types.data(), sizes.data(), precisions.data(), nullptr),
              QDP_FIELD_NOT_CREATED);
    Clear(p.h);
    p.h = 0;
}

TEST(DefPolExt, FieldChecksInOrder) {
    Package p;
    ASSERT_EQ(AddDokumentC(p.h, "D", 1, 1, nullptr), QDP_OK);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    // 0 "B", 1 "N", 2 "C", 3 "BX", 4 "V"
    for (auto [type, size] :
         {std::pair{"B", "30"}, {"N", "16"}, {"C", "3"}, {"BX", "30"}, {"V", "30"}}) {
        ASSERT_EQ(AddDefPolC(p.h, "F", type, size, "0", nullptr), QDP_OK);
    }
    const std::string longPath(128, 'p');
    struct Case {
        int blob, sizeField;
        const char* source;
        int32_t expected;
    } cases[] = {
        {0, 9, "src", QDP_FIELD_NOT_FOUND},  // size field index beyond the last
        {0, -1, "src", QDP_FIELD_NOT_FOUND}, //
        {0, 2, "src", QDP_WRONG_FIELD_TYPE}, // size field type not N
        {0, 0, "src", QDP_WRONG_FIELD_TYPE}, // a B field is no size field
        {9, 1, "src", QDP_FIELD_NOT_FOUND},  // B field index beyond the last
        {3, 1, "src", QDP_WRONG_FIELD_TYPE}, // "BX" is not exactly "B"
        {4, 1, "src", QDP_WRONG_FIELD_TYPE}, // nor is "V"
        {0, 1, nullptr, QDP_BAD_PATH},       //
        {0, 1, "", QDP_BAD_PATH},            //
        {0, 1, longPath.c_str(), QDP_BAD_PATH},
        {0, 1, "src", QDP_OK},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SetDefPolExt(p.h, c.blob, c.sizeField, c.source, "", "", 0, 0, 0), c.expected)
            << c.blob << "/" << c.sizeField;
    }
    const std::string longest(127, 'p');
    EXPECT_EQ(SetDefPolExt(p.h, 0, 1, longest.c_str(), nullptr, nullptr, 0, 0, 0), QDP_OK);
}

// A section "B" field fed from a file of 70000 bytes, linked to an N field.
class SourceFile : public SavedPackage {
protected:
    void SetUp() override {
        SavedPackage::SetUp();
        content.resize(70000);
        for (std::size_t i = 0; i < content.size(); ++i)
            content[i] = static_cast<char>(i * 7);
        writeFile(dir.file("source.bin"), content);
        ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
        ASSERT_EQ(AddDefPolC(p.h, "TRESC", "B", "30", "0", nullptr), QDP_OK);
        ASSERT_EQ(AddDefPolC(p.h, "ROZMIAR", "N", "16", "0", nullptr), QDP_OK);
    }
    // Record length 2 + 31 + 17 = 50; the blob area follows the record.
    static constexpr std::size_t kRecord = kFirstDefinition + 2 * 51;
    std::string content;
};

TEST_F(SourceFile, StoredWholeWithoutCipherAndItsLengthInTheSizeField) {
    ASSERT_EQ(SetDefPolExt(p.h, 0, 1, dir.file("source.bin").c_str(), "", "", 0, 0, 0), QDP_OK);
    std::string record(50, 'x');
    ASSERT_EQ(AddRekordC(p.h, record.data()), QDP_OK);
    // The true length comes back in the caller's text at the size field.
    EXPECT_EQ(record.substr(31, 6), std::string("70000\0", 6));
    const std::string file = save();
    EXPECT_EQ(file.substr(kRecord, 31), padded("0 70000", 31));
    EXPECT_EQ(file.substr(kRecord + 31, 17), padded("70000", 17));
    EXPECT_EQ(file.substr(kRecord + 48, 2), "\r\n");
    EXPECT_EQ(file.substr(kRecord + 50), content);
}

TEST_F(SourceFile, EncipheredInWholeChunks) {
    ASSERT_EQ(
        SetDefPolExt(p.h, 0, 1, dir.file("source.bin").c_str(), "0123456789abcdef", "", 8, 1, 0),
        QDP_OK);
    std::string record(50, 'x');
    ASSERT_EQ(AddRekordC(p.h, record.data()), QDP_OK);
    const std::string file = save();
    EXPECT_EQ(file.substr(kRecord, 31), padded("0 128768", 31));
    EXPECT_EQ(file.substr(kRecord + 31, 17), padded("70000", 17));
    EXPECT_EQ(file.size() - (kRecord + 50), 128768u);
}

// The size field linked to a 70000-byte source holds its five digits only
// when it is at least five characters wide; a narrower one refuses the
// record and changes neither the caller's text nor the package.
TEST_F(SavedPackage, LinkedSizeFieldNarrowerThanTheLengthIsRefused) {
    writeFile(dir.file("source.bin"), std::string(70000, 's'));
    const struct {
        int width;
        int32_t expected;
        std::string textAfter; // the size field and the byte after it
    } cases[] = {
        {3, QDP_SIZE_FIELD_TOO_NARROW, "xxx#"},
        {4, QDP_SIZE_FIELD_TOO_NARROW, "xxxx#"},
        {5, QDP_OK, "70000#"},
        {6, QDP_OK, "70000" + std::string(1, '\0') + "#"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
        ASSERT_EQ(AddDefPolC(p.h, "TRESC", "B", "30", "0", nullptr), QDP_OK);
        ASSERT_EQ(AddDefPolC(p.h, "ROZMIAR", "N", std::to_string(c.width).c_str(), "0", nullptr),
                  QDP_OK);
        ASSERT_EQ(SetDefPolExt(p.h, 0, 1, dir.file("source.bin").c_str(), "", "", 0, 0, 0), QDP_OK);
        // The byte after the field is the caller's ('#' here): the library
        // never writes it.
        std::string record(31, 'x');
        record += std::string(static_cast<std::size_t>(c.width), 'x') + "#\r\n";
        EXPECT_EQ(AddRekordC(p.h, record.data()), c.expected);
        EXPECT_EQ(record.substr(31, static_cast<std::size_t>(c.width) + 1), c.textAfter);
    }
    const std::string file = save();
    // Records only in the two wide sections: two blobs of 70000 bytes.
    EXPECT_EQ(std::count(file.begin(), file.end(), 's'), 140000);
}

TEST_F(SourceFile, MissingSourceFails22AndLeavesNothing) {
    ASSERT_EQ(SetDefPolExt(p.h, 0, 1, dir.file("none.bin").c_str(), "", "", 0, 0, 0), QDP_OK);
    std::string record(50, 'x');
    EXPECT_EQ(AddRekordC(p.h, record.data()), QDP_CREATE_FAILED);
    const std::string file = save();
    EXPECT_EQ(file.size(), kRecord);
    EXPECT_EQ(file.substr(124 + 33 + 76 + 33 + 31, 11), padded("0", 11)) << "record count";
}

TEST_F(SavedPackage, LinkedSizeFieldUnderThePackageCipher) {
    ASSERT_EQ(CryptAlgoMode(p.h, 8, 1), QDP_OK);
    ASSERT_EQ(CryptKeyIv(p.h, "0123456789abcdef", ""), QDP_OK);
    writeFile(dir.file("src"), std::string(10, 'a'));
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "B", "B", "30", "0", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "N", "N", "16", "0", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "C", "C", "3", "0", nullptr), QDP_OK);
    ASSERT_EQ(SetDefPolExt(p.h, 0, 1, dir.file("src").c_str(), "", "", 0, 0, 0), QDP_OK);
    std::string record(2 + 31 + 17 + 4, 'x');
    record.replace(48, 3, "abc");
    ASSERT_EQ(AddRekordC(p.h, record.data()), QDP_OK);
    EXPECT_EQ(record.substr(31, 3), std::string("10\0", 3));
    EXPECT_EQ(record.substr(48, 3), "abc") << "the next field is untouched";
    const std::string file = save();
    const std::size_t rec = kFirstDefinition + 3 * 51;
    EXPECT_EQ(file.substr(rec, 31), padded("0 64384", 31)) << "one whole chunk";
    EXPECT_NE(file.substr(rec + 31, 16), padded("10", 16)) << "the length is enciphered";
    EXPECT_EQ(file[rec + 47], '\0');
    EXPECT_EQ(file.substr(rec + 48, 4), std::string("abc\0", 4));
}

TEST_F(SavedPackage, LinkedSizeFieldNotOfWholeUnitsIsRefused) {
    ASSERT_EQ(CryptAlgoMode(p.h, 8, 1), QDP_OK);
    ASSERT_EQ(CryptKeyIv(p.h, "0123456789abcdef", ""), QDP_OK);
    writeFile(dir.file("src"), "abc");
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "B", "B", "30", "0", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "N", "N", "10", "0", nullptr), QDP_OK);
    ASSERT_EQ(SetDefPolExt(p.h, 0, 1, dir.file("src").c_str(), "", "", 0, 0, 0), QDP_OK);
    std::string record(2 + 31 + 11, 'x');
    EXPECT_EQ(AddRekordC(p.h, record.data()), QDP_CRYPT_FAILED);
}

TEST_F(SavedPackage, InlineBlobIsEncipheredInACopy) {
    ASSERT_EQ(CryptAlgoMode(p.h, 8, 1), QDP_OK);
    ASSERT_EQ(CryptKeyIv(p.h, "0123456789abcdef", ""), QDP_OK);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "V", "V", "30", "0", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "C", "C", "3", "0", nullptr), QDP_OK);
    std::string record = std::string(30, 'v') + '\0' + "abc" + '\0' + "\r\n";
    const std::string before = record;
    ASSERT_EQ(AddRekordC(p.h, record.data()), QDP_OK);
    EXPECT_EQ(record, before) << "the caller's text is not changed";
    const std::string file = save();
    const std::size_t rec = kFirstDefinition + 2 * 51;
    EXPECT_EQ(file.substr(rec, 31), padded("0 32", 31)) << "29 bytes rounded to 32";
    EXPECT_EQ(file.substr(rec + 31, 4), std::string("abc\0", 4)) << "plain fields in clear";
    EXPECT_EQ(file.size(), rec + 37 + 32);
    EXPECT_NE(file.substr(rec + 37, 29), std::string(29, 'v'));
}

// A refused algorithm or mode leaves no cipher behind: the key that
// follows is refused too, rather than taken by a session that would leave
// the records unenciphered.
TEST(PackageCipher, AFailedCryptAlgoModeLeavesNoSession) {
    for (auto [algorithm, mode, code] :
         {std::tuple{9, 1, SECLAY_BAD_ALGO}, {1, 1, SECLAY_BAD_ALGO}, {3, 7, SECLAY_BAD_MODE}}) {
        SCOPED_TRACE(algorithm * 10 + mode);
        Package p;
        EXPECT_EQ(CryptAlgoMode(p.h, algorithm, mode), code);
        EXPECT_EQ(CryptKeyIv(p.h, "0123456789abcdef", ""), SECLAY_NULL_HANDLE);
        // A working cipher replaces a refused one.
        EXPECT_EQ(CryptAlgoMode(p.h, 8, 1), QDP_OK);
        EXPECT_EQ(CryptKeyIv(p.h, "0123456789abcdef", ""), QDP_OK);
    }
}

TEST(Save, NothingToSaveGivesItsCodeAndKeepsTheOldFile) {
    TempDir dir;
    Package p;
    const std::string out = dir.file("p.qdp");
    writeFile(out, "old content");
    EXPECT_EQ(SaveC(p.h, out.c_str()), QDP_PACKAGE_EMPTY);
    EXPECT_EQ(readFile(out), "old content");
    ASSERT_EQ(AddDokumentC(p.h, "D", 1, 1, nullptr), QDP_OK);
    EXPECT_EQ(SaveC(p.h, out.c_str()), QDP_DOCUMENT_EMPTY);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    EXPECT_EQ(SaveC(p.h, out.c_str()), QDP_SECTION_EMPTY);
    char record[4] = {};
    EXPECT_EQ(AddRekordC(p.h, record), QDP_SECTION_EMPTY);
    EXPECT_EQ(SaveC(p.h, nullptr), QDP_BAD_PATH);
    EXPECT_EQ(SaveC(p.h, dir.file("no/such/folder.qdp").c_str()), QDP_CREATE_FAILED);
    EXPECT_THAT(dir.names(), ::testing::ElementsAre("p.qdp")) << "no partial file is left";
}

TEST(Save, TwiceGivesTheSameBytesAndClearLeavesNoTemporaryFile) {
    TempDir dir;
    {
        Package p;
        ASSERT_EQ(SetOutPathC(p.h, dir.prefix().c_str()), QDP_OK);
        ASSERT_EQ(AddDokumentC(p.h, "D", 4, 1, "opis dokumentu"), QDP_OK);
        ASSERT_EQ(AddSekcjaC(p.h, "S1", nullptr), QDP_OK);
        ASSERT_EQ(AddDefPolC(p.h, "A", "C", "4", "0", nullptr), QDP_OK);
        ASSERT_EQ(AddDefPolC(p.h, "V", "V", "25", "0", "blob"), QDP_OK);
        for (int i = 0; i < 3; ++i) {
            std::string record = "abcd" + std::string(1, '\0') + std::string(24, 'a' + i) +
                                 std::string(1, '\0') + "\r\n";
            ASSERT_EQ(AddRekordC(p.h, record.data()), QDP_OK);
        }
        ASSERT_EQ(AddSekcjaC(p.h, "S2", nullptr), QDP_OK);
        ASSERT_EQ(AddDefPolC(p.h, "X", "N", "2", "0", nullptr), QDP_OK);
        EXPECT_EQ(dir.names().size(), 4u) << "two files a section";
        ASSERT_EQ(SaveC(p.h, dir.file("a.qdp").c_str()), QDP_OK);
        ASSERT_EQ(SaveC(p.h, dir.file("b.qdp").c_str()), QDP_OK);
        const std::string a = readFile(dir.file("a.qdp"));
        EXPECT_EQ(a, readFile(dir.file("b.qdp")));
        EXPECT_EQ(a.substr(100, 11), padded(std::to_string(a.size()), 11));
        EXPECT_EQ(a.substr(111, 11), padded(std::to_string(a.size()), 11));
        EXPECT_EQ(Clear(p.h), QDP_OK);
        EXPECT_EQ(Clear(p.h), QDP_NO_PACKAGE);
        p.h = 0;
    }
    std::vector<std::string> names = dir.names();
    std::sort(names.begin(), names.end());
    EXPECT_THAT(names, ::testing::ElementsAre("a.qdp", "b.qdp"));
}

TEST(OutPath, FolderChecks) {
    TempDir dir;
    Package p;
    EXPECT_EQ(SetOutPathC(p.h, dir.file("missing/").c_str()), QDP_NOT_A_FOLDER);
    EXPECT_EQ(SetOutPathC(p.h, nullptr), QDP_BAD_PATH);
    // A folder whose temporary file names would not fit 127 characters.
    EXPECT_EQ(SetOutPathC(p.h, (std::string(120, 'a') + "/").c_str()), QDP_BAD_PATH);
    // A file already there under the test name is neither used nor removed.
    EXPECT_EQ(SetOutPathC(p.h, dir.prefix().c_str()), QDP_OK);
    EXPECT_TRUE(dir.names().empty()) << "the test file does not survive the call";
}

// A section's temporary file name: its kind letter (B or C), an upper-case and
// a lower-case letter, five digits.
MATCHER_P(IsTemporaryNameOfKind, kind, "") {
    const auto inRange = [](char c, char low, char high) { return c >= low && c <= high; };
    if (arg.size() != 8 || arg[0] != kind || !inRange(arg[1], 'A', 'Z') ||
        !inRange(arg[2], 'a', 'z'))
        return false;
    return std::all_of(arg.begin() + 3, arg.end(), [&](char c) { return inRange(c, '0', '9'); });
}

TEST(OutPath, SectionsBeforeSetOutPathLieInTheCurrentDirectory) {
    TempDir dir;
    qdptest::WorkingDirectory cwd(dir.path());
    Package p;
    ASSERT_EQ(AddDokumentC(p.h, "D", 1, 1, nullptr), QDP_OK);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    std::vector<std::string> names = dir.names();
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_THAT(names[0], IsTemporaryNameOfKind('B'));
    EXPECT_THAT(names[1], IsTemporaryNameOfKind('C'));
    Clear(p.h);
    p.h = 0;
    EXPECT_TRUE(dir.names().empty());
}

TEST(OutPath, FolderThatVanishedIsReportedAsMissingOnTheFirstRecordAndOnSave) {
    TempDir dir;
    TempDir gone;
    Package p;
    ASSERT_EQ(SetOutPathC(p.h, gone.prefix().c_str()), QDP_OK);
    std::filesystem::remove_all(gone.path());
    ASSERT_EQ(AddDokumentC(p.h, "D", 1, 1, nullptr), QDP_OK);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK) << "the section is kept all the same";
    ASSERT_EQ(AddDefPolC(p.h, "A", "C", "2", "0", nullptr), QDP_OK);
    char record[5] = "ab";
    EXPECT_EQ(AddRekordC(p.h, record), QDP_FOLDER_MISSING) << "not a full disk";
    EXPECT_EQ(SaveC(p.h, dir.file("p.qdp").c_str()), QDP_FOLDER_MISSING);
    EXPECT_TRUE(dir.names().empty()) << "no package and no staging file";
}

TEST(TempNames, SecondLetterMovesOnAfterZ) {
    TempDir dir;
    Package p;
    ASSERT_EQ(SetOutPathC(p.h, dir.prefix().c_str()), QDP_OK);
    ASSERT_EQ(AddDokumentC(p.h, "D", 1, 1, nullptr), QDP_OK);
    const auto recordNames = [&] {
        std::vector<std::string> out;
        for (const auto& n : dir.names()) {
            if (n[0] == 'C') out.push_back(n);
        }
        std::sort(out.begin(), out.end());
        return out;
    };
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    const std::string first = recordNames().at(0);
    ASSERT_EQ(first[2], 'a');
    for (int i = 1; i < 26; ++i)
        ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    std::vector<std::string> names = recordNames();
    ASSERT_EQ(names.size(), 26u);
    EXPECT_EQ(names.back(), std::string("C") + first[1] + 'z' + first.substr(3));
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    names = recordNames();
    const char next = first[1] == 'Z' ? 'A' : static_cast<char>(first[1] + 1);
    EXPECT_THAT(names, ::testing::Contains(std::string("C") + next + 'a' + first.substr(3)));
}

TEST(NullArguments, GiveTheCallsOwnCode) {
    Package p;
    EXPECT_EQ(PaczkaC(nullptr, 1, "T", "P", nullptr), QDP_PACKAGE_NOT_CREATED);
    QdpHandle h = 0;
    EXPECT_EQ(PaczkaC(&h, 1, nullptr, "P", nullptr), QDP_PACKAGE_NOT_CREATED);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(PaczkaC(&p.h, 1, "T", nullptr, nullptr), QDP_PACKAGE_NOT_CREATED);
    EXPECT_EQ(AddDokumentC(p.h, nullptr, 1, 1, nullptr), QDP_DOCUMENT_NOT_CREATED);
    ASSERT_EQ(AddDokumentC(p.h, "D", 1, 1, nullptr), QDP_OK);
    EXPECT_EQ(AddSekcjaC(p.h, nullptr, nullptr), QDP_SECTION_NOT_CREATED);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    EXPECT_EQ(AddDefPolC(p.h, nullptr, "C", "1", "0", nullptr), QDP_FIELD_NOT_CREATED);
    EXPECT_EQ(AddDefPolC(p.h, "A", nullptr, "1", "0", nullptr), QDP_FIELD_NOT_CREATED);
    EXPECT_EQ(AddDefPolC(p.h, "A", "C", nullptr, "0", nullptr), QDP_FIELD_NOT_CREATED);
    EXPECT_EQ(AddDefPolC(p.h, "A", "C", "1", nullptr, nullptr), QDP_FIELD_NOT_CREATED);
    ASSERT_EQ(AddDefPolC(p.h, "A", "C", "1", "0", nullptr), QDP_OK);
    EXPECT_EQ(AddRekordC(p.h, nullptr), QDP_WRITE_FAILED);
    EXPECT_EQ(CryptKeyIv(p.h, nullptr, nullptr), SECLAY_NULL_HANDLE) << "no cipher yet";
}

TEST(Limits, HeaderNumbersTheFileCannotHold) {
    QdpHandle h = 0;
    EXPECT_EQ(PaczkaC(&h, 999999, "T", "P", nullptr), QDP_FORMAT_LIMIT);
    EXPECT_EQ(PaczkaC(&h, -1, "T", "P", nullptr), QDP_FORMAT_LIMIT);
    EXPECT_EQ(h, 0u);
    Package p;
    EXPECT_EQ(AddDokumentC(p.h, "D", 999999, 1, nullptr), QDP_FORMAT_LIMIT);
    EXPECT_EQ(AddDokumentC(p.h, "D", 1, -5, nullptr), QDP_FORMAT_LIMIT);
    EXPECT_EQ(SetCurrentDokument(p.h, 0), QDP_NOTHING_TO_SELECT) << "nothing was added";
    EXPECT_EQ(AddDokumentC(p.h, "D", 999998, 999998, nullptr), QDP_OK);
}

} // namespace

namespace {

// The bytes seclay makes of data with a fresh session of the same settings.
std::string encipheredBySeclay(std::string data, std::size_t n, int32_t algorithm, int32_t mode,
                               const char* key) {
    SeclayHandle s = 0;
    EXPECT_EQ(SeclayAlgoMode(&s, algorithm, mode), SECLAY_OK);
    EXPECT_EQ(SeclayKeyIv(s, key, ""), SECLAY_OK);
    EXPECT_EQ(SeclayEncryptE(s, data.data(), static_cast<uint32_t>(n)), SECLAY_OK);
    SeclayDestroy(s);
    return data;
}

TEST_F(SavedPackage, WholeUnitWidthsStoreWhatSeclayMakesOfTheBytes) {
    const char* key = "0123456789abcdef";
    ASSERT_EQ(CryptAlgoMode(p.h, 8, 1), QDP_OK);
    ASSERT_EQ(CryptKeyIv(p.h, key, ""), QDP_OK);
    std::string source(100, '\0');
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<char>(i + 1);
    writeFile(dir.file("src"), source);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "V", "V", "33", "0", nullptr), QDP_OK); // 32 bytes of data
    ASSERT_EQ(AddDefPolC(p.h, "B", "B", "30", "0", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "N", "N", "16", "0", nullptr), QDP_OK);
    ASSERT_EQ(SetDefPolExt(p.h, 1, 2, dir.file("src").c_str(), "fedcba9876543210", "", 8, 1, 64),
              QDP_OK);
    std::string record(2 + 34 + 31 + 17, '\0');
    for (int i = 0; i < 33; ++i)
        record[i] = static_cast<char>('A' + i % 26);
    const std::string inlineData = record.substr(0, 32);
    ASSERT_EQ(AddRekordC(p.h, record.data()), QDP_OK);
    const std::string file = save();
    const std::size_t rec = kFirstDefinition + 3 * 51;
    const std::size_t blobs = rec + record.size();
    EXPECT_EQ(file.substr(rec, 34), padded("0 32", 34));
    EXPECT_EQ(file.substr(rec + 34, 31), padded("32 128", 31));
    EXPECT_EQ(file.substr(rec + 65, 16),
              encipheredBySeclay(padded("100", 16), 16, 8, 1, key)); // package cipher
    ASSERT_EQ(file.size(), blobs + 32 + 128);
    EXPECT_EQ(file.substr(blobs, 32), encipheredBySeclay(inlineData, 32, 8, 1, key));
    // Two chunks of 64 under the field's own cipher, the last one zero-filled.
    EXPECT_EQ(file.substr(blobs + 32, 64),
              encipheredBySeclay(source.substr(0, 64), 64, 8, 1, "fedcba9876543210"));
    EXPECT_EQ(file.substr(blobs + 96, 64),
              encipheredBySeclay(padded(source.substr(64), 64), 64, 8, 1, "fedcba9876543210"));
}

TEST(DefPolExt, AFailedFieldCipherLeavesTheFieldPlain) {
    TempDir dir;
    Package p;
    ASSERT_EQ(SetOutPathC(p.h, dir.prefix().c_str()), QDP_OK);
    ASSERT_EQ(AddDokumentC(p.h, "D", 1, 1, nullptr), QDP_OK);
    ASSERT_EQ(AddSekcjaC(p.h, "S", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "B", "B", "22", "0", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(p.h, "N", "N", "8", "0", nullptr), QDP_OK);
    EXPECT_EQ(SetDefPolExt(p.h, 0, 1, "src", "klucz123", "", 1, 1, 0), SECLAY_BAD_ALGO);
    // The field stores its record text like any blob field, and nothing
    // waits for a source file.
    std::string record(2 + 23 + 9, 'x');
    EXPECT_EQ(AddRekordC(p.h, record.data()), QDP_OK);
}

} // namespace
