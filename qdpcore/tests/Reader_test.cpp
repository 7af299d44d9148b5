// SPDX-License-Identifier: MIT
// Reading package files through the exported interface: writer -> reader
// round trips for every field kind and cipher setting, the walk through
// documents, sections and records, and what the reader must never write.
#include "PackageFixture.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace qdptest;

namespace {

// Opens path; the handle is cleared when the test ends.
class OpenPackage {
public:
    explicit OpenPackage(const std::string& path) {
        code = ReadPaczkaHeadC(&handle, path.c_str(), &version, typeCode, programCode,
                               &documentCount, date, description, &totalSize, sizeText);
    }
    ~OpenPackage() {
        if (handle != 0) Clear(handle);
    }
    OpenPackage(const OpenPackage&) = delete;
    OpenPackage& operator=(const OpenPackage&) = delete;

    QdpHandle handle = 0;
    int32_t code = 0;
    int32_t version = 0;
    char typeCode[33] = {};
    char programCode[33] = {};
    uint32_t documentCount = 0;
    char date[11] = {};
    char description[251] = {};
    int32_t totalSize = 0;
    char sizeText[11] = {};
};

std::string sourceContent(std::size_t n, char seed) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(seed + i * 7 % 251);
    return s;
}

// --- Round trips --------------------------------------------------------

struct RoundTripCase {
    const char* name;
    bool descriptions;
    bool packageCipher;
    bool fieldCipher;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

// One section with every field kind, a second one with plain fields only,
// and a second document.
TEST_P(RoundTrip, EveryFieldKindComesBackAsWritten) {
    const RoundTripCase& c = GetParam();
    TempDir dir;
    const std::string desc = c.descriptions ? "opis \xB9\xE6\xEA" : "";

    const std::vector<std::string> sources = {dir.file("src0"), dir.file("src1"), dir.file("src2")};
    const std::vector<std::string> contents = {sourceContent(70000, 'a'), sourceContent(5, 'q'),
                                               ""};
    for (std::size_t i = 0; i < sources.size(); ++i)
        writeFile(sources[i], contents[i]);

    SectionSpec all{"S1", desc, {}, {}, {}};
    all.fields = {{"ID", "C", 6, desc},       {"NAZWA", "C", 20, ""},  {"KWOTA", "N", 10, desc},
                  {"NOTATKA", "B", 30, desc}, {"UWAGI", "V", 25, ""},  {"PLIK", "B", 24, desc},
                  {"ROZMIAR", "N", 16, ""},   {"KONIEC", "C", 3, desc}};
    all.records = {
        {"000001", "Kowalski \xA3ukasz", "12.50", "notatka pierwsza", "uwagi 1", sources[0], "",
         "end"},
        {"000002", "Nowak", "0", std::string(29, 'x'), "", sources[1], "", "e2"},
        {"000003", "", "", "", std::string(24, 'v'), sources[2], "", ""},
    };
    all.extended = {{5, 6, c.fieldCipher ? kFieldKey : "", c.fieldCipher ? kIv : ""}};
    SectionSpec plain{"S2", "", {{"A", "C", 3, ""}, {"B", "D", 10, desc}}, {}, {}};
    plain.records = {{"abc", "2004.03.15"}, {"def", "2026.12.10"}};

    PackageSpec spec;
    spec.description = desc;
    spec.documents = {{"DOK1", desc, {all, plain}}, {"DOK2", "", {plain}}};
    if (c.packageCipher) {
        spec.algorithm = kAlgorithm;
        spec.mode = kMode;
        spec.key = kKey;
        spec.iv = kIv;
    }
    const std::string file = dir.file("p.qdp");
    ASSERT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);

    OpenPackage p(file);
    ASSERT_EQ(p.code, QDP_OK);
    EXPECT_EQ(std::string(p.description), desc);
    EXPECT_EQ(std::string(p.typeCode), "PAKIET");
    EXPECT_EQ(std::string(p.programCode), "PROGRAM");
    EXPECT_EQ(p.version, 1);
    EXPECT_EQ(p.documentCount, 2u);
    EXPECT_EQ(static_cast<std::size_t>(p.totalSize), readFile(file).size());
    EXPECT_EQ(std::string(p.sizeText), std::to_string(p.totalSize));
    if (c.packageCipher) {
        ASSERT_EQ(CryptAlgoMode(p.handle, kAlgorithm, kMode), QDP_OK);
        ASSERT_EQ(CryptKeyIv(p.handle, kKey.c_str(), kIv.c_str()), QDP_OK);
    }

    // The first section, record by record, extracting the B field's content.
    ASSERT_EQ(SetCurrentDokument(p.handle, 0), QDP_OK);
    ASSERT_EQ(SetCurrentSekcja(p.handle, 0), QDP_OK);
    std::string record(recordLength(all.fields), '\0');
    for (std::size_t r = 0; r < all.records.size(); ++r) {
        SCOPED_TRACE(r);
        const std::string target = dir.file("out" + std::to_string(r));
        ASSERT_EQ(SetDefPolExt(p.handle, 5, 6, target.c_str(), all.extended[0].key.c_str(),
                               all.extended[0].iv.c_str(), kAlgorithm, kMode, 0),
                  QDP_OK);
        ASSERT_EQ(ReadRecordC(p.handle, record.data()), QDP_OK);
        const auto& v = all.records[r];
        EXPECT_EQ(fieldText(all.fields, record, 0), v[0]);
        EXPECT_EQ(fieldText(all.fields, record, 1), v[1]);
        EXPECT_EQ(fieldText(all.fields, record, 2), v[2]);
        // Inline blobs come back as their size - 1 bytes.
        EXPECT_EQ(fieldBytes(all.fields, record, 3),
                  layRecord({all.fields[3]}, {v[3]}).substr(0, 29) + '\0');
        EXPECT_EQ(fieldBytes(all.fields, record, 4),
                  layRecord({all.fields[4]}, {v[4]}).substr(0, 24) + '\0');
        EXPECT_EQ(fieldText(all.fields, record, 6), std::to_string(contents[r].size()));
        EXPECT_EQ(fieldText(all.fields, record, 7), v[7]);
        EXPECT_EQ(readFile(target), contents[r]);
        // Every separator and the record end are where the layout says.
        for (std::size_t i = 0; i < all.fields.size(); ++i) {
            EXPECT_EQ(record[fieldOffset(all.fields, i) + all.fields[i].size], '\0') << i;
        }
        EXPECT_EQ(record.substr(record.size() - 2), "\r\n");
    }
    EXPECT_EQ(ReadRecordC(p.handle, record.data()), QDP_END_OF_SECTION);

    // Everything else through the plain walk.
    ReadPackage back;
    ASSERT_EQ(SetCurrentDokument(p.handle, 0), QDP_OK);
    ASSERT_EQ(walkPackage(p.handle, p.documentCount, back), QDP_OK);
    ASSERT_EQ(back.documents.size(), 2u);
    EXPECT_EQ(back.documents[0].typeCode, "DOK1");
    EXPECT_EQ(back.documents[0].description, desc);
    EXPECT_EQ(back.documents[1].typeCode, "DOK2");
    ASSERT_EQ(back.documents[0].sections.size(), 2u);
    const ReadSection& s1 = back.documents[0].sections[0];
    EXPECT_EQ(s1.code, "S1");
    EXPECT_EQ(s1.description, desc);
    EXPECT_EQ(s1.recordCount, 3u);
    ASSERT_EQ(s1.fields.size(), all.fields.size());
    for (std::size_t i = 0; i < all.fields.size(); ++i) {
        EXPECT_EQ(s1.fields[i].name, all.fields[i].name);
        EXPECT_EQ(s1.fields[i].type, all.fields[i].type);
        EXPECT_EQ(s1.fields[i].size, all.fields[i].size);
        EXPECT_EQ(s1.fields[i].description, all.fields[i].description);
    }
    for (const ReadSection* s : {&back.documents[0].sections[1], &back.documents[1].sections[0]}) {
        EXPECT_EQ(s->code, "S2");
        ASSERT_EQ(s->records.size(), 2u);
        for (std::size_t r = 0; r < 2; ++r) {
            EXPECT_EQ(s->records[r],
                      layRecord(plain.fields, plain.records[r]).substr(0, 15) + "\r\n");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Reader, RoundTrip,
                         ::testing::Values(RoundTripCase{"plain", false, false, false},
                                           RoundTripCase{"descriptions", true, false, false},
                                           RoundTripCase{"packageCipher", false, true, false},
                                           RoundTripCase{"packageAndFieldCipher", true, true, true},
                                           RoundTripCase{"fieldCipherOnly", false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Opening ------------------------------------------------------------

// The smallest package: one document, one section, one field of size 5.
PackageSpec smallest() {
    PackageSpec spec;
    spec.documents = {{"DOK", "", {{"S", "", {{"F", "C", 5, ""}}, {}, {}}}}};
    return spec;
}

TEST(ReaderOpen, FilesThatCannotBeOpenedLeaveNoPackage) {
    TempDir dir;
    writeFile(dir.file("short"), std::string(100, 'P'));
    const struct {
        const char* name;
        std::string path;
        int32_t code;
    } cases[] = {
        {"100 bytes", dir.file("short"), QDP_FILE_TOO_SHORT},
        {"missing", dir.file("missing.qdp"), QDP_BAD_PATH},
        {"folder", dir.path().string(), QDP_BAD_PATH},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QdpHandle h = 0;
        int32_t version = 0, total = 0;
        uint32_t count = 0;
        EXPECT_EQ(ReadPaczkaHeadC(&h, c.path.c_str(), &version, nullptr, nullptr, &count, nullptr,
                                  nullptr, &total, nullptr),
                  c.code);
        EXPECT_EQ(h, 0u);
        EXPECT_EQ(ReadInfoPaczkaC(0, c.path.c_str(), &version, nullptr, nullptr, &count, nullptr,
                                  nullptr, &total, nullptr),
                  c.code);
    }
    QdpHandle h = 0;
    EXPECT_EQ(ReadPaczkaHeadC(&h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
              QDP_BAD_PATH);
    EXPECT_EQ(ReadPaczkaHeadC(nullptr, dir.file("short").c_str(), nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr),
              QDP_NO_PACKAGE);
}

TEST(ReaderOpen, LengthDifferentFromTheHeaderGives50AndALivePackage) {
    TempDir dir;
    const std::string file = dir.file("p.qdp");
    ASSERT_EQ(buildPackage(smallest(), dir.prefix(), file), QDP_OK);
    ASSERT_EQ(readFile(file).size(), 361u);
    writeFile(file, readFile(file) + "x");

    OpenPackage p(file);
    EXPECT_EQ(p.code, QDP_BAD_TOTAL_SIZE);
    ASSERT_NE(p.handle, 0u);
    EXPECT_EQ(std::string(p.sizeText), "361");
    EXPECT_EQ(p.totalSize, 361);
    EXPECT_EQ(SetCurrentPaczka(p.handle), QDP_OK);
    // The package is all there; only its length is wrong.
    int32_t offset = 0, length = 0;
    EXPECT_EQ(ReadDokumentHeadC(p.handle, &offset, &length, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr),
              QDP_OK);
    EXPECT_EQ(offset, 157);
    EXPECT_EQ(length, 204);
    EXPECT_EQ(ReadInfoPaczkaC(0, file.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
              QDP_BAD_TOTAL_SIZE);
}

TEST(ReaderOpen, HeaderValuesAndSelectionAfterOpening) {
    TempDir dir;
    PackageSpec spec = smallest();
    spec.description = "paczka";
    spec.documents.push_back(
        {"DOK2",
         "drugi",
         {{"S1", "", {{"F", "C", 5, ""}}, {}, {}}, {"S2", "sekcja", {{"G", "C", 7, ""}}, {}, {}}}});
    const std::string file = dir.file("p.qdp");
    ASSERT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);

    OpenPackage p(file);
    ASSERT_EQ(p.code, QDP_OK);
    EXPECT_EQ(std::string(p.description), "paczka");
    EXPECT_EQ(std::strlen(p.date), 10u);
    // The last document and its last section are current.
    char type[33] = {}, code[17] = {}, description[251] = {};
    uint32_t sections = 0, fields = 0, records = 7;
    ASSERT_EQ(ReadDokumentHeadC(p.handle, nullptr, nullptr, type, nullptr, nullptr, &sections,
                                nullptr, description),
              QDP_OK);
    EXPECT_EQ(std::string(type), "DOK2");
    EXPECT_EQ(std::string(description), "drugi");
    EXPECT_EQ(sections, 2u);
    ASSERT_EQ(ReadSekcjaHeadC(p.handle, nullptr, nullptr, code, &fields, &records, description),
              QDP_OK);
    EXPECT_EQ(std::string(code), "S2");
    EXPECT_EQ(fields, 1u);
    EXPECT_EQ(records, 0u);

    // Without a package file open, the quick look gives the same header.
    char info[251] = {};
    uint32_t count = 0;
    int32_t total = 0;
    EXPECT_EQ(ReadInfoPaczkaC(0, file.c_str(), nullptr, nullptr, nullptr, &count, nullptr, info,
                              &total, nullptr),
              QDP_OK);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(std::string(info), "paczka");
    EXPECT_EQ(static_cast<std::size_t>(total), readFile(file).size());
    // A live handle fills the outputs from the package.
    count = 0;
    EXPECT_EQ(ReadInfoPaczkaC(p.handle, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                              nullptr, nullptr, nullptr),
              QDP_OK);
    EXPECT_EQ(count, 2u);
    QdpHandle same = p.handle;
    EXPECT_EQ(ReadPaczkaHeadC(&same, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                              nullptr, nullptr),
              QDP_OK);
    EXPECT_EQ(same, p.handle);
}

// A package put together by hand from the layout tables, not by the writer:
// one document, one section, one field of size 5 and two records.
std::string handBuiltPackage() {
    const auto field = [](const std::string& text, std::size_t width) {
        return text + std::string(width - text.size(), '\0');
    };
    const std::string crlf = "\r\n";
    const std::string records =
        "abcde" + std::string(1, '\0') + crlf + "12" + std::string(4, '\0') + crlf;
    std::string p = field("PACZKA", 9) + field("1", 7) + field("TYP", 33) + field("PROG", 33) +
                    field("1", 7) + field("2004.03.15", 11) + field("377", 11) + field("377", 11) +
                    crlf;
    p += field("SPISDOK", 9) + field("157", 11) + field("220", 11) + crlf;
    p += field("DOKUMENT", 9) + field("DTYP", 33) + field("4", 7) + field("1", 7) + field("1", 7) +
         field("2004.03.15", 11) + crlf;
    p += field("SPISSEK", 9) + field("109", 11) + field("111", 11) + crlf;
    p += field("SEKCJA", 9) + field("KOD", 17) + field("1", 5) + field("2", 11) + crlf;
    p += field("DEFPOL", 9) + field("POLE", 25) + field("C", 5) + field("5", 5) + field("0", 5) +
         crlf;
    return p + records;
}

TEST(ReaderOpen, HandBuiltPackageReadsAsTheLayoutSays) {
    TempDir dir;
    const std::string file = dir.file("hand.qdp");
    const std::string bytes = handBuiltPackage();
    ASSERT_EQ(bytes.size(), 377u);
    writeFile(file, bytes);

    OpenPackage p(file);
    ASSERT_EQ(p.code, QDP_OK);
    EXPECT_EQ(std::string(p.typeCode), "TYP");
    EXPECT_EQ(std::string(p.programCode), "PROG");
    EXPECT_EQ(std::string(p.date), "2004.03.15");
    EXPECT_EQ(p.totalSize, 377);
    int32_t offset = 0, length = 0, version = 0, variant = 0;
    uint32_t sections = 0, fields = 0, records = 0;
    char type[33] = {}, code[17] = {};
    ASSERT_EQ(ReadDokumentHeadC(p.handle, &offset, &length, type, &version, &variant, &sections,
                                nullptr, nullptr),
              QDP_OK);
    EXPECT_EQ(offset, 157);
    EXPECT_EQ(length, 220);
    EXPECT_EQ(std::string(type), "DTYP");
    EXPECT_EQ(version, 4);
    EXPECT_EQ(variant, 1);
    ASSERT_EQ(ReadSekcjaHeadC(p.handle, &offset, &length, code, &fields, &records, nullptr),
              QDP_OK);
    EXPECT_EQ(offset, 109);
    EXPECT_EQ(length, 111);
    EXPECT_EQ(std::string(code), "KOD");
    EXPECT_EQ(fields, 1u);
    EXPECT_EQ(records, 2u);
    ASSERT_EQ(SetCurrentSekcja(p.handle, 0), QDP_OK);
    std::string out(8, '\0');
    ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
    EXPECT_EQ(out, bytes.substr(361, 8));
    ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
    EXPECT_EQ(out, bytes.substr(369, 8));
    EXPECT_EQ(ReadRecordC(p.handle, out.data()), QDP_END_OF_SECTION);
}

// --- Walking records ----------------------------------------------------

// Section 0: three records; section 1: one. Plain fields only.
struct ThreeAndOne {
    TempDir dir;
    std::string file = dir.file("p.qdp");
    std::vector<FieldSpec> fields = {{"A", "C", 4, ""}};
    ThreeAndOne() {
        PackageSpec spec;
        spec.documents = {
            {"DOK",
             "",
             {{"S0", "", fields, {{"r1"}, {"r2"}, {"r3"}}, {}}, {"S1", "", fields, {{"x1"}}, {}}}}};
        EXPECT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);
    }
    std::string record(const std::string& value) const {
        return layRecord(fields, {value}).substr(0, 5) + "\r\n";
    }
};

TEST(ReaderRecords, ThreeRecordsThenEndThenAgainFromTheFirst) {
    ThreeAndOne f;
    OpenPackage p(f.file);
    ASSERT_EQ(p.code, QDP_OK);
    std::string out(7, '\0');
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(SetCurrentSekcja(p.handle, 0), QDP_OK);
        for (const char* value : {"r1", "r2", "r3"}) {
            ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
            EXPECT_EQ(out, f.record(value));
        }
        EXPECT_EQ(ReadRecordC(p.handle, out.data()), QDP_END_OF_SECTION);
    }
}

TEST(ReaderRecords, NoResResumesWhereTheSectionWasLeft) {
    ThreeAndOne f;
    OpenPackage p(f.file);
    std::string out(7, '\0');
    ASSERT_EQ(SetCurrentSekcja(p.handle, 0), QDP_OK);
    ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
    ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
    ASSERT_EQ(SetCurrentSekcja(p.handle, 1), QDP_OK);
    ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
    EXPECT_EQ(out, f.record("x1"));
    ASSERT_EQ(SetCurrentSekcjaNoRes(p.handle, 0), QDP_OK);
    ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
    EXPECT_EQ(out, f.record("r3"));
    // Already current: nothing moves.
    ASSERT_EQ(SetCurrentSekcjaNoRes(p.handle, 0), QDP_OK);
    EXPECT_EQ(ReadRecordC(p.handle, out.data()), QDP_END_OF_SECTION);
}

TEST(ReaderRecords, RightAfterOpeningTheLastSectionCanBeRead) {
    ThreeAndOne f;
    OpenPackage p(f.file);
    std::string out(7, '\0');
    ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
    EXPECT_EQ(out, f.record("x1"));
    EXPECT_EQ(ReadRecordC(p.handle, out.data()), QDP_END_OF_SECTION);
}

TEST(ReaderRecords, EndOfTheLastSectionWithAndWithoutBlobDataAfterIt) {
    for (const bool blob : {false, true}) {
        SCOPED_TRACE(blob);
        TempDir dir;
        SectionSpec s{"S", "", {{"A", "C", 3, ""}}, {{"ab"}, {"cd"}}, {}};
        if (blob) {
            s.fields.push_back({"B", "B", 21, ""});
            s.records = {{"ab", "blob one"}, {"cd", "blob two"}};
        }
        PackageSpec spec;
        spec.documents = {{"DOK", "", {s}}};
        const std::string file = dir.file("p.qdp");
        ASSERT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);
        OpenPackage p(file);
        ASSERT_EQ(p.code, QDP_OK);
        ASSERT_EQ(SetCurrentSekcja(p.handle, 0), QDP_OK);
        std::string out(recordLength(s.fields), '\0');
        EXPECT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
        EXPECT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
        EXPECT_EQ(ReadRecordC(p.handle, out.data()), QDP_END_OF_SECTION);
        EXPECT_EQ(ReadRecordC(p.handle, out.data()), QDP_END_OF_SECTION);
    }
}

TEST(ReaderRecords, AfterFileCloseNothingIsRead) {
    ThreeAndOne f;
    OpenPackage p(f.file);
    std::string out(7, '\0');
    EXPECT_EQ(FileClose(p.handle), QDP_OK);
    EXPECT_EQ(ReadRecordC(p.handle, out.data()), QDP_FILE_NOT_OPEN);
    EXPECT_EQ(FileClose(p.handle), QDP_ALREADY_CLOSED);
    // The package itself stays until Clear.
    uint32_t records = 0;
    EXPECT_EQ(ReadSekcjaHeadC(p.handle, nullptr, nullptr, nullptr, nullptr, &records, nullptr),
              QDP_OK);
    EXPECT_EQ(records, 1u);
    EXPECT_EQ(SetCurrentSekcja(p.handle, 0), QDP_OK);
}

TEST(ReaderRecords, BlobComesBackAsItsBytesWithLaterFieldsInPlace) {
    TempDir dir;
    const std::vector<FieldSpec> fields = {
        {"A", "C", 3, ""}, {"B", "B", 30, ""}, {"C", "C", 4, ""}};
    const std::string blob = "twenty-nine bytes of blob dat";
    PackageSpec spec;
    spec.documents = {{"DOK", "", {{"S", "", fields, {{"abc", blob, "xyz!"}}, {}}}}};
    const std::string file = dir.file("p.qdp");
    ASSERT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);
    OpenPackage p(file);
    ASSERT_EQ(SetCurrentSekcja(p.handle, 0), QDP_OK);
    std::string out(recordLength(fields), '\xEE');
    ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
    EXPECT_EQ(out.substr(0, 4), std::string("abc\0", 4));
    EXPECT_EQ(out.substr(4, 31), blob + std::string(2, '\0'));
    EXPECT_EQ(out.substr(35, 5), std::string("xyz!\0", 5));
    EXPECT_EQ(out.substr(40), "\r\n");
}

TEST(ReaderRecords, CallsInTheWrongStateGiveTheirCodes) {
    ThreeAndOne f;
    OpenPackage p(f.file);
    std::string out(7, '\0');
    EXPECT_EQ(ReadRecordC(0, out.data()), QDP_NO_PACKAGE);
    EXPECT_EQ(ReadRecordC(p.handle, nullptr), QDP_NULL_OUTPUT);
    EXPECT_EQ(SetCurrentSekcja(p.handle, 2), QDP_NO_SECTION);
    EXPECT_EQ(ReadListaDefPolC(p.handle, nullptr, nullptr, nullptr, nullptr, nullptr),
              QDP_NULL_OUTPUT);

    // A package that was built, not read, has no file to read from.
    QdpHandle built = 0;
    ASSERT_EQ(PaczkaC(&built, 1, "T", "P", ""), QDP_OK);
    EXPECT_EQ(ReadRecordC(built, out.data()), QDP_FILE_NOT_OPEN);
    EXPECT_EQ(FileClose(built), QDP_ALREADY_CLOSED);
    EXPECT_EQ(ReadDokumentHeadC(built, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr),
              QDP_NO_DOCUMENT);
    ASSERT_EQ(AddDokumentC(built, "D", 4, 1, nullptr), QDP_OK);
    EXPECT_EQ(ReadSekcjaHeadC(built, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              QDP_NO_SECTION);
    ASSERT_EQ(SetOutPathC(built, (f.dir.prefix()).c_str()), QDP_OK);
    ASSERT_EQ(AddSekcjaC(built, "S", nullptr), QDP_OK);
    char names[25], types[5], sizes[5], precisions[5];
    EXPECT_EQ(ReadListaDefPolC(built, names, types, sizes, precisions, nullptr), QDP_SECTION_EMPTY);
    Clear(built);
}

// --- What the reader never writes ----------------------------------------

TEST(ReaderMended, FiveDigitSizeFillsItsSlotAndNothingBeyond) {
    TempDir dir;
    PackageSpec spec;
    spec.documents = {
        {"DOK", "", {{"S", "", {{"DUZE", "C", 12345, ""}, {"X", "C", 7, ""}}, {}, {}}}}};
    const std::string file = dir.file("p.qdp");
    ASSERT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);
    OpenPackage p(file);
    ASSERT_EQ(p.code, QDP_OK);

    // Two slots of each array, then guard bytes that must stay untouched.
    constexpr char kGuard = '\x5A';
    std::vector<char> names(2 * 25 + 8, kGuard), types(2 * 5 + 8, kGuard), sizes(2 * 5 + 8, kGuard),
        precisions(2 * 5 + 8, kGuard), descriptions(2 * 251 + 8, kGuard);
    ASSERT_EQ(ReadListaDefPolC(p.handle, names.data(), types.data(), sizes.data(),
                               precisions.data(), descriptions.data()),
              QDP_OK);
    EXPECT_EQ(std::string(sizes.data(), 10), std::string("12345"
                                                         "7\0\0\0\0",
                                                         10));
    EXPECT_EQ(std::string(precisions.data(), 2), std::string("0\0", 2));
    EXPECT_EQ(std::string(names.data(), 5), std::string("DUZE\0", 5));
    EXPECT_EQ(std::string(types.data() + 5, 2), std::string("C\0", 2));
    // Empty descriptions leave their slots alone.
    EXPECT_EQ(descriptions[0], kGuard);
    for (const auto* v : {&names, &types, &sizes, &precisions, &descriptions}) {
        EXPECT_EQ(std::string(v->end() - 8, v->end()), std::string(8, kGuard));
    }
}

TEST(ReaderMended, PaddedBlobIsCutToItsFieldAndNothingIsWrittenBeyondTheRecord) {
    TempDir dir;
    // Blob of 29 bytes stored as 32 enciphered bytes; it is the last field,
    // so its padding would reach past the record.
    const std::vector<FieldSpec> fields = {{"A", "C", 2, ""}, {"B", "B", 30, ""}};
    const std::string blob(29, 'b');
    PackageSpec spec;
    spec.algorithm = kAlgorithm;
    spec.mode = kMode;
    spec.key = kKey;
    spec.iv = kIv;
    spec.documents = {{"DOK", "", {{"S", "", fields, {{"a", blob}}, {}}}}};
    const std::string file = dir.file("p.qdp");
    ASSERT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);

    OpenPackage p(file);
    ASSERT_EQ(CryptAlgoMode(p.handle, kAlgorithm, kMode), QDP_OK);
    ASSERT_EQ(CryptKeyIv(p.handle, kKey.c_str(), kIv.c_str()), QDP_OK);
    ASSERT_EQ(SetCurrentSekcja(p.handle, 0), QDP_OK);
    const std::size_t length = recordLength(fields);
    std::string out(length + 16, '\x5A');
    ASSERT_EQ(ReadRecordC(p.handle, out.data()), QDP_OK);
    EXPECT_EQ(out.substr(3, 31), blob + std::string(2, '\0'));
    EXPECT_EQ(out.substr(length - 2, 2), "\r\n");
    EXPECT_EQ(out.substr(length), std::string(16, '\x5A'));
}

} // namespace
