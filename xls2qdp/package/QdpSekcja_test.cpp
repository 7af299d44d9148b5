// SPDX-License-Identifier: MIT
#include "common/testing/RecordingSink.h"
#include "package/QdpCodes.h"
#include "package/QdpException.h"
#include "package/QdpSekcja.h"
#include "package/testing/FakeQdpLibrary.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

using testing::FakeQdpLibrary;
using testing::RecordingSink;

// A section whose hooks define the given fields and write the given records.
class TableSection : public TQDPSekcja {
public:
    using TQDPSekcja::TQDPSekcja;
    std::int32_t fUserDefSekcja() override { return fSetSekcja(" TEST ", " Opis sekcji ", true); }
    std::int32_t fUserDefPol() override {
        for (const FieldDefinition& f : defs)
            fAddPol(f.name, f.type, f.size, f.precision, f.description);
        return 1;
    }
    std::int32_t fUserWriteData() override {
        for (const auto& record : records)
            if (std::int32_t r = fAddRekord(record, true); r != 1) return r;
        return 1;
    }
    std::vector<FieldDefinition> defs;
    std::vector<std::vector<std::string>> records;
};

class SekcjaTest : public ::testing::Test {
protected:
    void SetUp() override {
        QdpHandle handle = 0;
        ASSERT_EQ(library.PaczkaC(&handle, 1, "P", "X", ""), 1);
        ASSERT_EQ(library.AddDokumentC(handle, "D", 4, 1, ""), 1);
        this->handle = handle;
        library.calls.clear();
    }
    const FakeQdpLibrary::Section& built() {
        return library.packages.at(handle).documents.back().sections.back();
    }
    FakeQdpLibrary library;
    RecordingSink sink;
    QdpHandle handle = 0;
};

TEST_F(SekcjaTest, DefaultHooksGive107WithTheirMessages) {
    TQDPSekcja plain({&library, &sink});
    EXPECT_EQ(plain.fCreateSekcja(handle, true), 107);
    EXPECT_EQ(sink.texts, std::vector<std::string>{
                              "Funkcja fUserDefSekcja nie została zdefiniowana lub została "
                              "zdefiniowana błędnie!"});
    EXPECT_TRUE(library.calls.empty());

    struct OnlyCode : TQDPSekcja {
        using TQDPSekcja::TQDPSekcja;
        std::int32_t fUserDefSekcja() override { return fSetSekcja("K", "", true); }
    } onlyCode({&library, &sink});
    sink.texts.clear();
    EXPECT_EQ(onlyCode.fCreateSekcja(handle, true), 107);
    EXPECT_EQ(sink.texts,
              std::vector<std::string>{"Funkcja fUserDefPol nie została zdefiniowana lub została "
                                       "zdefiniowana błędnie!"});
    EXPECT_EQ(library.calls, std::vector<std::string>{"AddSekcjaC"});

    struct NoWriter : TQDPSekcja {
        using TQDPSekcja::TQDPSekcja;
        std::int32_t fUserDefSekcja() override { return fSetSekcja("K", "", true); }
        std::int32_t fUserDefPol() override { return fAddPol("A", "C", 3, 0, ""); }
    } noWriter({&library, &sink});
    sink.texts.clear();
    EXPECT_EQ(noWriter.fCreateSekcja(handle, false), 107);
    EXPECT_TRUE(sink.texts.empty()); // show-errors off
    EXPECT_EQ(noWriter.fCreateSekcja(handle, true), 107);
    EXPECT_EQ(sink.texts, std::vector<std::string>{
                              "Funkcja fUserWriteData nie została zdefiniowana lub została "
                              "zdefiniowana błędnie!"});
}

TEST_F(SekcjaTest, BuildsDefinitionsAndRecordsInOrder) {
    TableSection section({&library, &sink});
    section.defs = {{"C", "NAZWA", "Zażółć", 3, 0, {}},
                    {"N", "NUM", "", 5, 0, {}},
                    {"D", "DAT", "Data", 12, 0, {}}};
    section.records = {{"abcdef", "12", "2004.03.15"}, {"ó", "", ""}};
    ASSERT_EQ(section.fCreateSekcja(handle, true), 1);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(library.calls, (std::vector<std::string>{"AddSekcjaC", "AddDefPolC", "AddDefPolC",
                                                       "AddDefPolC", "AddRekordC", "AddRekordC"}));
    const auto& s = built();
    EXPECT_EQ(s.code, "TEST");
    EXPECT_EQ(s.description, "Opis sekcji");
    ASSERT_EQ(s.fields.size(), 3u);
    EXPECT_EQ(s.fields[0].description, "Za\xBF\xF3\xB3\xE6"); // Windows-1250 bytes
    EXPECT_EQ(s.fields[1].size, "5");
    EXPECT_EQ(s.fields[1].precision, "0");
    ASSERT_EQ(s.records.size(), 2u);
    EXPECT_EQ(s.records[0], (std::vector<std::string>{"abc", "12", "2004.03.15"})); // cut to 3
    EXPECT_EQ(s.records[1], (std::vector<std::string>{"\xF3", "", ""}));
    EXPECT_EQ(section.recordCount(), 2);
}

TEST_F(SekcjaTest, RecordTextHasOneZeroPaddedSlotPerField) {
    TableSection section({&library, &sink});
    section.fAddPol("A", "C", 3, 0, "");
    section.fAddPol("B", "C", 5, 0, "");
    std::vector<std::string> values = {"xyzw", "ab"};
    std::vector<char> record = section.fBuildRekord(values);
    EXPECT_EQ(std::string(record.begin(), record.end()), std::string("xyz\0ab\0\0\0\0", 10));
}

TEST_F(SekcjaTest, BlobFieldsNeedTwentyOneCharacters) {
    for (std::uint32_t size : {20u, 21u}) {
        SCOPED_TRACE(size);
        TableSection section({&library, &sink});
        section.defs = {{"C", "A", "", 2, 0, {}}, {"V", "BLOB", "", size, 0, {}}};
        section.records = {{"x", "y"}};
        sink.texts.clear();
        std::int32_t result = section.fCreateSekcja(handle, true);
        if (size == 20) {
            EXPECT_EQ(result, 103);
            ASSERT_EQ(sink.texts.size(), 1u); // no hook message after the refusal
            EXPECT_EQ(sink.texts[0],
                      "Długości pól typu 'V' i 'B' nie mogą być krótsze niż 21 znaków!");
            EXPECT_EQ(section.recordCount(), 0);
        } else {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(section.recordCount(), 1);
        }
    }
}

TEST_F(SekcjaTest, RecordRefusals) {
    struct Case {
        const char* what;
        std::vector<std::string> values;
        std::int32_t code;
        std::vector<std::string> messages; // the refusal's own, and nothing after it
    } cases[] = {
        {"bad date",
         {"x", "1", "2004-03-15"},
         501,
         {"Wartość pola DATA w rekordzie nr 2 sekcji TEST „2004-03-15” nie jest datą w postaci "
          "rrrr.mm.dd!"}},
        {"bad number",
         {"x", "12.5", ""},
         504,
         {"Wartość pola NR w rekordzie nr 2 sekcji TEST „12.5” nie jest liczbą o najwyżej 5 "
          "znakach i 0 miejscach po przecinku!"}},
        {"too few values", {"x", "1"}, 18, {"Błąd biblioteki: 18 \r\nZa mało pól w rekordzie"}},
        {"too many values",
         {"x", "1", "", "y"},
         17,
         {"Błąd biblioteki: 17 \r\nZa dużo pól w rekordzie"}},
        {"outside Windows-1250",
         {"Muñoz", "1", ""},
         505,
         {"Wartość pola NAZWISKO w rekordzie nr 2 sekcji TEST „Muñoz” zawiera znak „ñ” "
          "(U+00F1), którego nie można zapisać w stronie kodowej Windows-1250!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableSection section({&library, &sink});
        section.defs = {{"C", "NAZWISKO", "", 40, 0, {}},
                        {"N", "NR", "", 5, 0, {}},
                        {"D", "DATA", "", 12, 0, {}}};
        section.records = {{"ok", "1", "2004.03.15"}, c.values, {"never", "1", ""}};
        sink.texts.clear();
        EXPECT_EQ(section.fCreateSekcja(handle, true), c.code);
        EXPECT_EQ(sink.texts, c.messages);
        EXPECT_EQ(section.recordCount(), 1); // the rows after the refused one are not written
        EXPECT_EQ(built().records.size(), 1u);
    }
}

TEST_F(SekcjaTest, MissingDefinitionPartsAndEmptyCode) {
    struct Case {
        FieldDefinition field;
        const char* message;
    } cases[] = {
        {{"C", "", "", 3, 0, {}}, "Proszę podać nazwę pola !"},
        {{"", "A", "", 3, 0, {}}, "Proszę podać typ pola !"},
        {{"C", "A", "", 0, 0, {}}, "Proszę podać rozmiar pola !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TableSection section({&library, &sink});
        section.defs = {c.field};
        sink.texts.clear();
        EXPECT_EQ(section.fCreateSekcja(handle, true), 507);
        EXPECT_EQ(sink.texts, std::vector<std::string>{c.message});
    }
    TableSection none({&library, &sink});
    sink.texts.clear();
    EXPECT_EQ(none.fCreateSekcja(handle, true), 508);
    EXPECT_EQ(sink.texts, std::vector<std::string>{"Nie zostały zdefiniowane żadne pola!"});

    TQDPSekcja bare({&library, &sink});
    sink.texts.clear();
    EXPECT_EQ(bare.fSetSekcja("   ", "opis", true), 509);
    EXPECT_EQ(sink.texts, std::vector<std::string>{"Proszę podać kod typu sekcji!"});
    EXPECT_EQ(bare.fAddRekord(std::vector<std::string>{}, true), 104);
}

TEST_F(SekcjaTest, LibraryRefusingADefinitionOrARecordThrows) {
    TableSection section({&library, &sink});
    section.defs = {{"C", "A", "", 3, 0, {}}};
    section.records = {{"x"}};
    library.failWith["AddDefPolC"] = 7;
    try {
        section.fCreateSekcja(handle, true);
        FAIL();
    } catch (const QdpException& e) {
        EXPECT_STREQ(e.what(), "Błąd krytyczny: Nie można dodać pola!!!");
    }
    library.failWith = {{"AddRekordC", 42}};
    TableSection second({&library, &sink});
    second.defs = section.defs;
    second.records = section.records;
    try {
        second.fCreateSekcja(handle, true);
        FAIL();
    } catch (const QdpException& e) {
        EXPECT_EQ(e.code(), 42);
        EXPECT_EQ(second.recordCount(), 0);
    }
    EXPECT_TRUE(sink.texts.empty());
}

TEST_F(SekcjaTest, LibraryRefusingTheSectionShowsItsCode) {
    TableSection section({&library, &sink});
    section.defs = {{"C", "A", "", 3, 0, {}}};
    library.failWith["AddSekcjaC"] = 6;
    EXPECT_EQ(section.fCreateSekcja(handle, true), 6);
    EXPECT_EQ(sink.texts,
              std::vector<std::string>{"Błąd biblioteki: 6 \r\nNie można dodać sekcji"});
}

} // namespace
} // namespace xls2qdp
