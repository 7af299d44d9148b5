// SPDX-License-Identifier: MIT
// samplepackage OUTPUT TEMPFOLDER/: writes one fixed package (two documents,
// Windows-1250 texts, a blob field, a section with records and one without,
// the package cipher) so that the builds for different systems can be shown
// to write the same bytes and to read each other's files.
#include "PackageFixture.h"

#include <cstdio>
#include <string>

using namespace qdptest;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: samplepackage OUTPUT TEMPFOLDER/\n");
        return 2;
    }
    SectionSpec people{"OSOBY",
                       "Osoby zg\xB3oszone",
                       {{"NAZWISKO", "C", 30, "Nazwisko"},
                        {"PESEL", "C", 11, ""},
                        {"UWAGI", "V", 40, "Uwagi do deklaracji"}},
                       {},
                       {}};
    people.records = {{"Nowak", "85010112345", "bez uwag"},
                      {"W\xB3odarczyk", "90123198765",
                       "\xA3\xF3"
                       "d\xBC, ul. \x8Cwi\xEAtokrzyska"},
                      {"\xAF\xF3\xB3\xE6", "00000000000", ""}};
    SectionSpec empty{"PUSTA", "", {{"KOD", "N", 5, ""}}, {}, {}};
    PackageSpec spec;
    spec.description = "Pakiet pr\xF3\x62ny";
    spec.documents = {{"DEKLARACJE", "Deklaracje POZ", {people, empty}},
                      {"ZA\xA3\xA1\x43ZNIK", "", {empty}}};
    spec.algorithm = kAlgorithm;
    spec.mode = kMode;
    spec.key = kKey;
    spec.iv = kIv;
    const int32_t code = buildPackage(spec, argv[2], argv[1]);
    if (code != QDP_OK) {
        std::fprintf(stderr, "samplepackage: code %d\n", code);
        return 1;
    }
    return 0;
}
