// SPDX-License-Identifier: MIT
// Windows: the DLLs as another program binds them at run time. Every function
// of a module-definition file is found by its ordinal (GetProcAddress with
// MAKEINTRESOURCE) and by its name, the two giving the same function, and the
// export table holds those names and nothing else. A package with a cipher
// is then written and read back through functions bound by ordinal alone.
#include "PackageFixture.h"
#include "TempDir.h"

#include <qdpcore/qdpcore.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>
#include <windows.h>

using namespace qdptest;

namespace {

// name -> ordinal, from the lines "    Name @ordinal" of a .def file.
std::map<std::string, WORD> readDefinitionFile(const std::string& path) {
    std::map<std::string, WORD> entries;
    std::ifstream in(path);
    const std::regex entry(R"(^\s+([A-Za-z_]\w*)\s+@(\d+))");
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, match, entry)) {
            entries[match[1]] = static_cast<WORD>(std::stoi(match[2]));
        }
    }
    return entries;
}

// name -> ordinal as the loaded module's export table states them, and the
// number of functions it exports at all (named or not).
struct ExportTable {
    std::map<std::string, WORD> named;
    unsigned functions = 0;
};

ExportTable exportTableOf(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
    ExportTable table;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        table.named[reinterpret_cast<const char*>(base + names[i])] =
            static_cast<WORD>(exports->Base + ordinals[i]);
    }
    for (DWORD i = 0; i < exports->NumberOfFunctions; ++i)
        table.functions += functions[i] != 0 ? 1 : 0;
    return table;
}

struct Library {
    const char* dll;
    const char* definitionFile;
};

const Library kLibraries[] = {
    {"ckx.dll", QDP_CKX_DEF},
    {"seclay.dll", QDP_SECLAY_DEF},
    {"qdpcore.dll", QDP_QDPCORE_DEF},
};

TEST(Ordinals, EveryNameAtItsOrdinalAndNothingElse) {
    for (const auto& library : kLibraries) {
        SCOPED_TRACE(library.dll);
        const HMODULE module = ::LoadLibraryA(library.dll);
        ASSERT_NE(module, nullptr);
        const auto expected = readDefinitionFile(library.definitionFile);
        ASSERT_FALSE(expected.empty()) << library.definitionFile;
        const ExportTable table = exportTableOf(module);
        EXPECT_EQ(table.named, expected);
        EXPECT_EQ(table.functions, expected.size());
        for (const auto& [name, ordinal] : expected) {
            const FARPROC byOrdinal = ::GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
            EXPECT_NE(byOrdinal, nullptr) << name;
            EXPECT_EQ(byOrdinal, ::GetProcAddress(module, name.c_str())) << name;
        }
        ::FreeLibrary(module);
    }
}

// qdpcore's functions bound by the ordinals of qdpcore.def alone.
struct Qdpcore {
    explicit Qdpcore(HMODULE m) : module(m) {}
    template <typename Function>
    Function at(WORD ordinal) const {
        return reinterpret_cast<Function>(
            reinterpret_cast<void*>(::GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
    }
    HMODULE module;
    decltype(&PaczkaC) paczka = at<decltype(&PaczkaC)>(102);
    decltype(&CryptAlgoMode) algoMode = at<decltype(&CryptAlgoMode)>(22);
    decltype(&CryptKeyIv) keyIv = at<decltype(&CryptKeyIv)>(21);
    decltype(&SetOutPathC) outPath = at<decltype(&SetOutPathC)>(114);
    decltype(&AddDokumentC) dokument = at<decltype(&AddDokumentC)>(103);
    decltype(&AddSekcjaC) sekcja = at<decltype(&AddSekcjaC)>(104);
    decltype(&AddDefPolC) defPol = at<decltype(&AddDefPolC)>(105);
    decltype(&AddRekordC) rekord = at<decltype(&AddRekordC)>(106);
    decltype(&SaveC) save = at<decltype(&SaveC)>(107);
    decltype(&Clear) clear = at<decltype(&Clear)>(24);
    decltype(&ReadPaczkaHeadC) readHead = at<decltype(&ReadPaczkaHeadC)>(108);
    decltype(&SetCurrentDokument) document = at<decltype(&SetCurrentDokument)>(12);
    decltype(&SetCurrentSekcja) section = at<decltype(&SetCurrentSekcja)>(13);
    decltype(&ReadRecordC) readRecord = at<decltype(&ReadRecordC)>(112);
    decltype(&FileClose) fileClose = at<decltype(&FileClose)>(18);
};

struct CipherCase {
    const char* name;
    int32_t algorithm;
    int32_t mode;
    const char* key;
    const char* iv;
};

const CipherCase kCiphers[] = {
    {"no cipher", 0, 0, "", ""},
    {"DES, CBC", 2, 2, "k3y0f8b!", "iv8bytes"},
    {"two-key 3DES, ECB", 3, 1, "sixteen byte key", ""},
    {"RC2, PCBC", 5, 5, "rc2 key!", "iv8bytes"},
    {"SAFER, CFB", 7, 3, "safer-k!", "iv8bytes"},
    {"Blowfish, OFB", 8, 4, "blowfish", "iv8bytes"},
};

TEST(Ordinals, PackageWithCipherWrittenAndReadBack) {
    const HMODULE module = ::LoadLibraryA("qdpcore.dll");
    ASSERT_NE(module, nullptr);
    const Qdpcore q(module);
    // Plain fields are stored as they are; the package cipher enciphers the
    // data of blob fields (V).
    const std::vector<FieldSpec> fields = {{"NAZWISKO", "C", 20, ""}, {"UWAGI", "V", 24, ""}};
    const std::vector<std::vector<std::string>> rows = {
        {"Nowak", "tajne uwagi 1"}, {"W\xB3odarczyk", "tajne uwagi 2"}, {"Kowalski", "tajne"}};
    for (const auto& cipher : kCiphers) {
        SCOPED_TRACE(cipher.name);
        TempDir dir;
        const std::string file = dir.file("szyfr.qdp");
        QdpHandle h = 0;
        ASSERT_EQ(q.paczka(&h, 1, "PAKIET", "PROGRAM", ""), QDP_OK);
        if (cipher.algorithm != 0) {
            ASSERT_EQ(q.algoMode(h, cipher.algorithm, cipher.mode), QDP_OK);
            ASSERT_EQ(q.keyIv(h, cipher.key, cipher.iv), QDP_OK);
        }
        ASSERT_EQ(q.outPath(h, dir.prefix().c_str()), QDP_OK);
        ASSERT_EQ(q.dokument(h, "DOK", 4, 1, ""), QDP_OK);
        ASSERT_EQ(q.sekcja(h, "S1", ""), QDP_OK);
        for (const auto& f : fields) {
            ASSERT_EQ(q.defPol(h, f.name.c_str(), f.type.c_str(), std::to_string(f.size).c_str(),
                               "0", ""),
                      QDP_OK);
        }
        for (const auto& row : rows) {
            std::string record = layRecord(fields, row);
            ASSERT_EQ(q.rekord(h, record.data()), QDP_OK);
        }
        ASSERT_EQ(q.save(h, file.c_str()), QDP_OK);
        ASSERT_EQ(q.clear(h), QDP_OK);
        const bool plain = readFile(file).find("tajne") != std::string::npos;
        EXPECT_EQ(plain, cipher.algorithm == 0);

        h = 0;
        ASSERT_EQ(q.readHead(&h, file.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
                  QDP_OK);
        if (cipher.algorithm != 0) {
            ASSERT_EQ(q.algoMode(h, cipher.algorithm, cipher.mode), QDP_OK);
            ASSERT_EQ(q.keyIv(h, cipher.key, cipher.iv), QDP_OK);
        }
        ASSERT_EQ(q.document(h, 0), QDP_OK);
        ASSERT_EQ(q.section(h, 0), QDP_OK);
        // The plain field comes back as written, the blob field as its
        // deciphered data followed by zeros.
        for (const auto& row : rows) {
            std::string record(recordLength(fields), '\0');
            ASSERT_EQ(q.readRecord(h, record.data()), QDP_OK);
            EXPECT_EQ(record.substr(0, 21), layRecord(fields, row).substr(0, 21));
            EXPECT_EQ(record.substr(fieldOffset(fields, 1), row[1].size() + 1), row[1] + '\0');
        }
        std::string rest(recordLength(fields), '\0');
        EXPECT_EQ(q.readRecord(h, rest.data()), QDP_END_OF_SECTION);
        EXPECT_EQ(q.fileClose(h), QDP_OK);
        EXPECT_EQ(q.clear(h), QDP_OK);
    }
    ::FreeLibrary(module);
}

} // namespace
