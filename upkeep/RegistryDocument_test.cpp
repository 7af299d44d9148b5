// SPDX-License-Identifier: MIT
#include "RegistryDocument.h"

#include <gtest/gtest.h>

namespace upkeep {
namespace {

std::string crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

TEST(RegistryDocument, RefusesWhatItCannotReadAndNamesTheLine) {
    struct Case {
        std::string text;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"REGEDIT4\n", 1, "brak naglowka \"Windows Registry Editor Version 5.00\""},
        {"\xFF\xFEW\0i\0", 1, "plik zapisany w UTF-16; zapisz go w UTF-8"},
        {"Windows Registry Editor Version 5.00\n\"a\"=\"b\"\n", 2, "wartosc poza kluczem"},
        {"Windows Registry Editor Version 5.00\n[HKCU\\a]\n", 2, "nieznany klucz glowny"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a\n", 2,
         "brak znaku ] w nazwie klucza"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\]\n", 2,
         "nieprawidlowa nazwa klucza"},
        {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a\\\\b]\n", 2,
         "nieprawidlowa nazwa klucza"},
        {"Windows Registry Editor Version 5.00\n[-HKEY_CURRENT_USER\\a]\n", 2,
         "usuwanie klucza nie jest dozwolone w pliku rejestru"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\"=-\n", 3,
         "usuwanie wartosci nie jest dozwolone w pliku rejestru"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\"=\"x\n", 3,
         "brak zamykajacego cudzyslowu"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\"=\"x\\n\"\n", 3,
         "niedozwolona sekwencja ze znakiem \\ w napisie"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\"=\"x\" y\n", 3,
         "znaki po zamknieciu napisu"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\" \"x\"\n", 3,
         "brak znaku = po nazwie wartosci"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"\"=\"x\"\n", 3,
         "pusta nazwa wartosci (uzyj @)"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\"=qword:1\n", 3,
         "nieznany typ danych"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\"=dword:1\n", 3,
         "nieprawidlowe dane wartosci"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\"=hex:0g\n", 3,
         "nieprawidlowe dane wartosci"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\"=hex:00,\\\n  01,zz\n", 4,
         "nieprawidlowe dane wartosci"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\n\"v\"=hex:00,\\\n", 3,
         "urwana lista bajtow"},
        {"Windows Registry Editor Version 5.00\n[HKEY_USERS\\a]\nv=1\n", 3, "nieznany wiersz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = RegistryDocument::parse(c.text);
        ASSERT_TRUE(std::holds_alternative<RegistryParseError>(parsed));
        EXPECT_EQ(std::get<RegistryParseError>(parsed).line, c.line);
        EXPECT_EQ(std::get<RegistryParseError>(parsed).message, c.message);
    }
}

// Values of types the tool never writes, comments, a byte-order mark, LF line
// ends and repeated sections are read; the values are written back unchanged.
TEST(RegistryDocument, ReadsExportedFilesAndKeepsOtherValueTypes) {
    const std::string text = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n"
                             "; exported by hand\n"
                             "[hkey_local_machine\\Software\\Firm]\n"
                             "\"Count\"=dword:0000001f\n"
                             "\"Paths\"=hex(7):43,00,3a,00,00,00,\\\n"
                             "  00,00\n"
                             "@ = \"default\"\n"
                             "\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\firm]\n"
                             "\"count\"=\"now text\"\n"
                             "[HKEY_CURRENT_USER]\n"
                             "\"AtRoot\"=\"r\"\n";
    auto parsed = RegistryDocument::parse(text);
    ASSERT_TRUE(std::holds_alternative<RegistryDocument>(parsed))
        << std::get<RegistryParseError>(parsed).message;
    const auto formatted = std::get<RegistryDocument>(parsed).format();
    EXPECT_EQ(formatted, crlf("Windows Registry Editor Version 5.00\n\n"
                              "[HKEY_CURRENT_USER]\n\"AtRoot\"=\"r\"\n\n"
                              "[HKEY_LOCAL_MACHINE\\Software]\n\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Firm]\n"
                              "\"Count\"=\"now text\"\n"
                              "\"Paths\"=hex(7):43,00,3a,00,00,00,\\\n  00,00\n"
                              "@=\"default\"\n\n"));
    auto again = RegistryDocument::parse(formatted);
    ASSERT_TRUE(std::holds_alternative<RegistryDocument>(again));
    EXPECT_EQ(std::get<RegistryDocument>(again).format(), formatted);
}

TEST(RegistryDocument, EmptyTextIsAnEmptyRegistry) {
    auto parsed = RegistryDocument::parse("");
    ASSERT_TRUE(std::holds_alternative<RegistryDocument>(parsed));
    EXPECT_EQ(std::get<RegistryDocument>(parsed).format(),
              "Windows Registry Editor Version 5.00\r\n\r\n");
}

TEST(RegistryDocument, KeysCompareWithoutCaseAndOnlyLeavesAreRemoved) {
    RegistryDocument document;
    document.findOrCreate(RegistryRoot::CurrentUser, {"Software", "Łódź", "Ćma"});
    EXPECT_NE(document.find(RegistryRoot::CurrentUser, {"SOFTWARE", "ŁÓDŹ", "ćMA"}), nullptr);
    EXPECT_EQ(document.find(RegistryRoot::CurrentUser, {"Software", "Lodz"}), nullptr);
    EXPECT_EQ(document.find(RegistryRoot::LocalMachine, {"Software"}), nullptr);

    EXPECT_FALSE(document.removeLeafKey(RegistryRoot::CurrentUser, {"software", "łódź"}));
    EXPECT_FALSE(document.removeLeafKey(RegistryRoot::CurrentUser, {}));
    EXPECT_FALSE(document.removeLeafKey(RegistryRoot::CurrentUser, {"none", "x"}));
    EXPECT_TRUE(document.removeLeafKey(RegistryRoot::CurrentUser, {"software", "łódź", "ĆMA"}));
    EXPECT_TRUE(document.removeLeafKey(RegistryRoot::CurrentUser, {"software", "łódź"}));
    EXPECT_EQ(document.format(),
              crlf("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\n"));
}

// Removed keys and values leave no trace: lookups, listings and the text
// see only what is there, and a removed name can come back (at the end).
TEST(RegistryDocument, RemovedKeysAndValuesLeaveNoTrace) {
    RegistryDocument document;
    for (const char* name : {"A", "B", "C"})
        document.findOrCreate(RegistryRoot::Users, {"S", name, "leaf"});
    RegistryKeyNode& b = *document.find(RegistryRoot::Users, {"S", "B"});
    for (const char* name : {"x", "y", "z"})
        b.setValue({name, true, name});
    b.setValue({"X", true, "again"});
    EXPECT_TRUE(b.removeValue("Y"));
    EXPECT_FALSE(b.removeValue("y"));
    ASSERT_NE(b.findValue("z"), nullptr);
    EXPECT_EQ(b.findValue("z")->data, "z");
    EXPECT_EQ(b.findValue("x")->data, "again");

    EXPECT_FALSE(document.removeLeafKey(RegistryRoot::Users, {"S", "b"})) << "it has a subkey";
    EXPECT_TRUE(document.removeLeafKey(RegistryRoot::Users, {"S", "b", "LEAF"}));
    EXPECT_TRUE(document.removeLeafKey(RegistryRoot::Users, {"S", "b"}));
    EXPECT_EQ(document.find(RegistryRoot::Users, {"S", "B"}), nullptr);
    EXPECT_FALSE(document.removeLeafKey(RegistryRoot::Users, {"S", "b"}));
    document.findOrCreate(RegistryRoot::Users, {"S", "b"});
    const RegistryKeyNode* s = document.find(RegistryRoot::Users, {"S"});
    std::vector<std::string> names;
    for (const RegistryKeyNode* k : s->subkeys())
        names.push_back(k->name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "C", "b"}));
    EXPECT_EQ(document.format(), crlf("Windows Registry Editor Version 5.00\n\n"
                                      "[HKEY_USERS\\S]\n\n"
                                      "[HKEY_USERS\\S\\A]\n\n[HKEY_USERS\\S\\A\\leaf]\n\n"
                                      "[HKEY_USERS\\S\\C]\n\n[HKEY_USERS\\S\\C\\leaf]\n\n"
                                      "[HKEY_USERS\\S\\b]\n\n"));
}

TEST(RegistryDocument, SplitsKeyPaths) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(splitRegistryPath(""), Names{});
    EXPECT_EQ(splitRegistryPath("\\"), Names{});
    EXPECT_EQ(splitRegistryPath("\\Software\\Firm"), (Names{"Software", "Firm"}));
    EXPECT_EQ(splitRegistryPath("Software"), Names{"Software"});
    EXPECT_EQ(splitRegistryPath("\\\\Software"), std::nullopt);
    EXPECT_EQ(splitRegistryPath("\\Software\\"), std::nullopt);
    EXPECT_EQ(splitRegistryPath("\\Soft\nware"), std::nullopt);
    std::string deepest;
    for (std::size_t i = 0; i < kMaxKeyDepth; ++i)
        deepest += "\\k";
    EXPECT_EQ(splitRegistryPath(deepest)->size(), kMaxKeyDepth);
    EXPECT_EQ(splitRegistryPath(deepest + "\\k"), std::nullopt);
}

} // namespace
} // namespace upkeep
