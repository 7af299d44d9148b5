// SPDX-License-Identifier: MIT
#include "common/SettingsChecks.h"
#include "common/testing/RecordingSink.h"
#include "declarations/PozSchema.h"
#include "declarations/QdpPOZPaczka.h"
#include "package/testing/FakeQdpLibrary.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

TEST(PozSchema, FieldLimitsByVersionAndVariant) {
    struct Case {
        int version, variant;
        PozFieldLimits limits;
    } cases[] = {
        {4, 1, {17, 62}}, {4, 0, {17, 58}}, {4, 7, {17, 62}}, {1, 0, {14, 53}},
        {1, 1, {14, 54}}, {1, 2, {15, 56}}, {1, 3, {15, 56}}, {1, 4, {15, 57}},
        {1, 5, {17, 57}}, {1, 6, {17, 62}}, {2, 0, {17, 62}}, {0, 1, {17, 62}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pozFieldLimits(c.version, c.variant), c.limits) << c.version << "," << c.variant;
}

// Which definitions each section declares for a version and variant.
TEST(PozSchema, DefinitionsDeclaredByVersionAndVariant) {
    struct Case {
        int version, variant;
        std::size_t counts[5];
        const char* lastOfInstalacja;
        const char* lastOfDeklaracje;
    } cases[] = {
        {1, 0, {14, 53, 8, 8, 9}, "NR_LOKALU", "NR_WERSJI"},
        {1, 5, {17, 57, 8, 8, 9}, "WERSJA_APL", "KOD_SWIADCZ_POLOZ"},
        {4, 0, {17, 58, 8, 8, 9}, "WERSJA_APL", "KOD_SWIADCZ_SROD"},
        {4, 1, {17, 62, 8, 8, 9}, "WERSJA_APL", "WERSJA_DEKL"},
        {9, 9, {17, 62, 8, 8, 9}, "WERSJA_APL", "WERSJA_DEKL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + "," + std::to_string(c.variant));
        TQDPPOZPaczka package;
        package.fInitPOZ("1", "2", c.version, c.variant, nullptr);
        for (int number = 1; number <= 5; ++number) {
            TQDPPOZSekcja& section = package.dokument().sekcja(number);
            section.fUserDefPol();
            EXPECT_EQ(section.fieldCount(), c.counts[number - 1]) << "section " << number;
        }
        EXPECT_EQ(package.dokument().sekcja1().fields().back().name, c.lastOfInstalacja);
        EXPECT_EQ(package.dokument().sekcja2().fields().back().name, c.lastOfDeklaracje);
    }
}

TEST(PozSchema, DefinitionDetailsThatAreEasyToGetWrong) {
    const auto& deklaracje = pozDeklaracjeSchema().fields;
    EXPECT_EQ(deklaracje[13].name, "POPRZ_KCH_ KOD"); // with its blank
    EXPECT_EQ(deklaracje[13].name.size(), 14u);
    EXPECT_EQ(deklaracje[43].description, deklaracje[44].description); // DATA_OD, DATA_DO
    EXPECT_EQ(deklaracje[52].name, "NR_WERSJI");
    EXPECT_EQ(deklaracje[52].type, "N");
    for (const PozSectionSchema* schema :
         {&pozInstalacjaSchema(), &pozDeklaracjeSchema(), &pozZglaszajacySchema(),
          &pozWycofujacySchema(), &pozCudzoziemcySchema()}) {
        SCOPED_TRACE(schema->code);
        EXPECT_LE(schema->description.size(), 250u);
        for (const PozField& field : schema->fields) {
            EXPECT_LE(field.name.size(), 24u) << field.name;
            EXPECT_LE(field.description.size(), 250u) << field.name;
            EXPECT_TRUE(field.type == "C" || field.type == "N" || field.type == "D");
            if (field.type == "D") {
                EXPECT_EQ(field.size, 12u) << field.name;
            }
        }
    }
    const PozField& rodzajApl = pozInstalacjaSchema().fields[15];
    EXPECT_EQ(rodzajApl.name, "RODZAJ_APL");
    EXPECT_TRUE(rodzajApl.description.starts_with("Rodzaj aplikacji wysyłającej ("));
}

// The start-up refuses settings longer than the fields they fill.
TEST(PozSchema, TheSettingsChecksKnowTheWidthsOfTheirFields) {
    for (const PozSectionSchema* schema :
         {&pozInstalacjaSchema(), &pozDeklaracjeSchema(), &pozZglaszajacySchema(),
          &pozWycofujacySchema(), &pozCudzoziemcySchema()}) {
        for (const PozField& field : schema->fields) {
            if (field.name == "NR_INSTALACJI") {
                EXPECT_EQ(field.size, kNrInstalacjiWidth);
            }
            if (field.name == "KOD_SWIADCZ") {
                EXPECT_EQ(field.size, kKodSwiadczWidth);
            }
        }
    }
}

TEST(PozSchema, WorkingTableFieldsRead) {
    std::vector<std::string_view> fields = pozWorkingTableFieldsRead();
    for (const char* name : {"LID_DEKL", "DATA_UR", "ZGL_OSOBISTE", "FL_WYCOF", "FL_CUDZ_WYCOF",
                             "NR_KARTY_CUDZ_WYCOF", "DATA_WPROW", "WERSJA_DEKL", "FL_BEZDOMNY"})
        EXPECT_TRUE(std::binary_search(fields.begin(), fields.end(), std::string_view(name)))
            << name;
    EXPECT_FALSE(
        std::binary_search(fields.begin(), fields.end(), std::string_view("PRZYCZYNA_WYCOF")));
}

} // namespace
} // namespace xls2qdp
