// SPDX-License-Identifier: MIT
#include "IniDocument.h"
#include "SystemFailure.h"

#include <gtest/gtest.h>

namespace upkeep {
namespace {

TEST(IniDocument, ChangesOnlyTheEntryOrSectionConcerned) {
    constexpr auto none = std::nullopt;
    struct Case {
        const char* title;
        std::string before;
        std::string section;
        std::optional<std::string_view> entry;
        std::optional<std::string_view> value;
        std::string after;
    };
    const std::string settings = "; comment\r\n[SYSTEM]\r\nKodWojew=12\r\nNrInstalacji = 7\r\n\r\n"
                                 "[OUTPUT]\r\nOUTPATH=C:\\tmp\r\n";
    const Case cases[] = {
        {"new file", "", "Main", "Key", "Value", "[Main]\r\nKey=Value\r\n"},
        {"replaces an entry, names without case and blanks", settings, " system ", "nrinstalacji",
         "8",
         "; "
         "comment\r\n[SYSTEM]\r\nKodWojew=12\r\nNrInstalacji=8\r\n\r\n[OUTPUT]\r\nOUTPATH=C:"
         "\\tmp\r\n"},
        {"adds an entry after the section's last line, before its blank lines", settings, "System",
         "KodSwiadcz", "ABC",
         "; comment\r\n[SYSTEM]\r\nKodWojew=12\r\nNrInstalacji = 7\r\nKodSwiadcz=ABC\r\n\r\n"
         "[OUTPUT]\r\nOUTPATH=C:\\tmp\r\n"},
        {"adds a section at the end, set apart by a blank line", settings, "New", "k", "",
         settings + "\r\n[New]\r\nk=\r\n"},
        {"keeps LF line ends and ends the unfinished last line", "[a]\nx=1", "a", "y", "2",
         "[a]\nx=1\ny=2\n"},
        {"appends a section after an unfinished last line", "[a]\nx=1", "b", "y", "2",
         "[a]\nx=1\n\n[b]\ny=2\n"},
        {"deletes an entry", settings, "SYSTEM", "KODWOJEW", none,
         "; comment\r\n[SYSTEM]\r\nNrInstalacji = 7\r\n\r\n[OUTPUT]\r\nOUTPATH=C:\\tmp\r\n"},
        {"deleting a missing entry changes nothing", settings, "OUTPUT", "KodWojew", none,
         settings},
        {"deleting in a missing section changes nothing", settings, "None", "KodWojew", none,
         settings},
        {"erases a section up to the next one", settings, "system", none, none,
         "; comment\r\n[OUTPUT]\r\nOUTPATH=C:\\tmp\r\n"},
        {"erases the last section", settings, "Output", none, none,
         "; comment\r\n[SYSTEM]\r\nKodWojew=12\r\nNrInstalacji = 7\r\n\r\n"},
        {"erasing a missing section changes nothing", settings, "None", none, none, settings},
        {"only the first of two sections of one name", "[a]\r\nx=1\r\n[A]\r\nx=2\r\n", "a", "x",
         "3", "[a]\r\nx=3\r\n[A]\r\nx=2\r\n"},
        {"comments are no entries", "[a]\r\n;x=1\r\n", "a", "x", "2", "[a]\r\n;x=1\r\nx=2\r\n"},
        {"a line without = is an entry of that name", "[a]\r\nflag\r\n", "a", "FLAG", none,
         "[a]\r\n"},
        {"keeps a byte-order mark", "\xEF\xBB\xBF[a]\r\nx=1\r\n", "A", "x", "2",
         "\xEF\xBB\xBF[a]\r\nx=2\r\n"},
        {"Polish names compare without case", "[Zażółć]\r\nGęśla=1\r\n", "ZAŻÓŁĆ", "gĘŚLA", "2",
         "[Zażółć]\r\nGęśla=2\r\n"},
        {"header with blanks and text after ]", "  [ a ] ; note\r\nx=1\r\n", "a", "x", "2",
         "  [ a ] ; note\r\nx=2\r\n"},
        // [ŁÓDŹ] and Gęśla in Windows-1250 bytes, found by UTF-8 names of
        // another case; the value goes in as Windows-1250 too.
        {"Windows-1250 file: Polish names compare without case",
         "[\xA3\xD3"
         "D\x8F]\r\nG\xEA\x9Cla=1\r\n",
         "łódź", "GĘŚLA", "ż",
         "[\xA3\xD3"
         "D\x8F]\r\nG\xEA\x9Cla=\xBF\r\n"},
        {"Windows-1250 file: a new section and entry in its code page", "[a]\r\n\xB3=1\r\n", "Łąka",
         "Żółw", "ść", "[a]\r\n\xB3=1\r\n\r\n[\xA3\xB9ka]\r\n\xAF\xF3\xB3w=\x9C\xE6\r\n"},
        {"UTF-8 file: a name given in Windows-1250 bytes", "[Łódź]\r\nk=1\r\n",
         "\xB3\xF3"
         "d\x9F",
         "k", "2", "[Łódź]\r\nk=2\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(applyProfileWrite(c.before, c.section, c.entry, c.value), c.after);
    }
}

TEST(IniDocument, RefusesALetterTheFilesCodePageCannotHold) {
    EXPECT_THROW((void)applyProfileWrite("[a]\r\n\xB3=1\r\n", "a", "k", "ё"), SystemFailure);
    EXPECT_THROW((void)applyProfileWrite("[a]\r\n\xB3=1\r\n", "ё", "k", "v"), SystemFailure);
    // A UTF-8 file takes any letter.
    EXPECT_EQ(applyProfileWrite("[a]\r\n", "a", "k", "ё"), "[a]\r\nk=ё\r\n");
}

} // namespace
} // namespace upkeep
