// SPDX-License-Identifier: MIT
// Writes a package of one document, one section and one record to the file
// its argument names, reads it back and prints what it found.
#include <qdpcore/qdpcore.h>

#include <stdio.h>
#include <string.h>

static int check(const char* call, int32_t result) {
    if (result != QDP_OK) fprintf(stderr, "%s: %d\n", call, (int)result);
    return result == QDP_OK;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: qdpcore_consumer PACKAGE.qdp\n");
        return 2;
    }
    QdpHandle package = 0;
    // Two text fields of 5 and 3 characters, each followed by its zero, and
    // the record's CR LF.
    char record[5 + 1 + 3 + 1 + 2] = {0};
    memcpy(record, "ABCDE", 5);
    memcpy(record + 6, "xyz", 3);
    int ok = check("PaczkaC", PaczkaC(&package, 1, "TEST", "CONSUMER", "find_package")) &&
             check("SetOutPathC", SetOutPathC(package, "")) &&
             check("AddDokumentC", AddDokumentC(package, "DOK", 1, 1, NULL)) &&
             check("AddSekcjaC", AddSekcjaC(package, "S1", NULL)) &&
             check("AddDefPolC", AddDefPolC(package, "NAME", "C", "5", "0", NULL)) &&
             check("AddDefPolC", AddDefPolC(package, "CODE", "C", "3", "0", NULL)) &&
             check("AddRekordC", AddRekordC(package, record)) &&
             check("SaveC", SaveC(package, argv[1]));
    Clear(package);
    if (!ok) return 1;

    QdpHandle reader = 0;
    uint32_t documents = 0;
    uint32_t fields = 0;
    uint32_t records = 0;
    char typeCode[33] = "";
    char sectionCode[17] = "";
    ok = check("ReadPaczkaHeadC", ReadPaczkaHeadC(&reader, argv[1], NULL, typeCode, NULL,
                                                  &documents, NULL, NULL, NULL, NULL)) &&
         check("SetCurrentDokument", SetCurrentDokument(reader, 0)) &&
         check("SetCurrentSekcja", SetCurrentSekcja(reader, 0)) &&
         check("ReadSekcjaHeadC",
               ReadSekcjaHeadC(reader, NULL, NULL, sectionCode, &fields, &records, NULL));
    if (reader != 0) {
        FileClose(reader);
        Clear(reader);
    }
    if (!ok) return 1;
    printf("package %s: %u document(s), section %s with %u field(s) and %u record(s)\n", typeCode,
           (unsigned)documents, sectionCode, (unsigned)fields, (unsigned)records);
    return documents == 1 && fields == 2 && records == 1 ? 0 : 1;
}
