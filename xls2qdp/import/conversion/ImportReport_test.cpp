// SPDX-License-Identifier: MIT
#include "ImportReport.h"

#include "import/testing/ScratchFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace xls2qdp {
namespace {

// Each entry names its column by letter and by the sheet's own header, and
// the row by its surname and PESEL, so that a sorted sheet still matches.
TEST(ImportReport, WritesCsvForASpreadsheetProgram) {
    ImportReport report;
    std::array<std::string, kDeclarationColumns> headers;
    headers[2] = "Nazwisko";
    headers[5] = "Data ur.";
    report.setColumnHeaders(headers);
    ReportEntry date{7, "F", "1960-13-05", ReportKind::DateNotConverted, "Data; zła"};
    date.surname = "Nowak";
    date.pesel = "60030512342";
    report.add(date);
    report.add({8, "C", "O\"Brien\nbis", ReportKind::TextTooLong, "za długi"});
    report.add({0, "", "", ReportKind::CityDictionaryMissing, "Brak słownika"});
    std::ostringstream out;
    report.writeCsv(out);
    EXPECT_EQ(out.str(),
              "\xEF\xBB\xBFWiersz;Kolumna;Nagłówek;Nazwisko;PESEL;Wartość;Uwaga;Co zrobić\r\n"
              "7;F;Data ur.;Nowak;60030512342;1960-13-05;\"Data; zła\";Wpisz datę jako dd-mm-rrrr "
              "(np. 05-03-1960) albo nadaj komórce format daty.\r\n"
              "8;C;Nazwisko;;;\"O\"\"Brien\nbis\";za długi;Skróć tekst, jeśli po obcięciu straci "
              "sens.\r\n"
              ";;;;;;Brak słownika;Zainstaluj program ponownie, aby przywrócić słownik "
              "sl_miejscowosci.db.\r\n");
}

TEST(ImportReport, KeepsEveryEntryOfALongRunInOrder) {
    ImportReport report;
    const std::string value(100, 'v');
    for (int row = 7; row < 20007; ++row)
        report.add({row, "P", value, ReportKind::PostalCodeWrongLength, "kod"});
    EXPECT_EQ(report.size(), 20000u);
    EXPECT_EQ(report.count(ReportKind::PostalCodeWrongLength), 20000u);
    EXPECT_EQ(report.count(ReportKind::DateNotConverted), 0u);
    int expected = 7;
    report.forEach([&](const ReportEntry& e) {
        EXPECT_EQ(e.sheetRow, expected++);
        EXPECT_EQ(e.value, value);
    });
    EXPECT_EQ(expected, 20007);
    EXPECT_NE(report.summary().find("20000"), std::string::npos) << report.summary();

    report.clear();
    EXPECT_TRUE(report.empty());
    report.forEach([](const ReportEntry&) { FAIL() << "entry after clear"; });
}

TEST(ImportReport, SavesWholeOrNotAtAll) {
    testing::ScratchFolder folder;
    ImportReport report;
    report.add({7, "F", "x", ReportKind::DateNotConverted, "m"});
    ASSERT_TRUE(report.saveCsv(folder / "raport.csv"));
    std::ifstream in(folder / "raport.csv", std::ios::binary);
    std::stringstream saved;
    saved << in.rdbuf();
    std::ostringstream direct;
    report.writeCsv(direct);
    EXPECT_EQ(saved.str(), direct.str());

    EXPECT_FALSE(report.saveCsv(folder / "no-such-folder" / "raport.csv"));
    EXPECT_FALSE(std::filesystem::exists(folder / "no-such-folder"));
}

} // namespace
} // namespace xls2qdp
