// SPDX-License-Identifier: MIT
// Writes the seed corpus of the reader's fuzz target: small packages made by
// the writer with every field kind, with and without descriptions and
// ciphers. Usage: qdp_fuzz_seeds FOLDER (the folder must exist).
#include <qdpcore/qdpcore.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Field {
    const char* name;
    const char* type;
    int size;
};

struct Options {
    bool descriptions = false;
    bool packageCipher = false;
    bool fieldCipher = false;
    bool extended = false;
    int records = 2;
    int sections = 1;
    int documents = 1;
    std::size_t sourceSize = 1500;
};

bool ok(std::int32_t r, const char* what) {
    if (r != QDP_OK) std::fprintf(stderr, "qdp_fuzz_seeds: %s: %d\n", what, r);
    return r == QDP_OK;
}

bool make(const std::string& folder, const std::string& name, const Options& o) {
    const std::vector<Field> fields = {{"ID", "C", 6},     {"NAZWA", "C", 12}, {"NOTATKA", "B", 30},
                                       {"UWAGI", "V", 22}, {"PLIK", "B", 22},  {"ROZMIAR", "N", 16},
                                       {"KONIEC", "C", 3}};
    const char* desc = o.descriptions ? "opis" : "";
    const std::string source = folder + "/seed-source.bin";
    if (std::FILE* f = std::fopen(source.c_str(), "wb")) {
        for (std::size_t i = 0; i < o.sourceSize; ++i)
            std::fputc(static_cast<int>(i * 13 % 256), f);
        std::fclose(f);
    }
    QdpHandle h = 0;
    bool good = ok(PaczkaC(&h, 1, "FUZZ", o.packageCipher ? "CIPHER" : "PLAIN", desc), "PaczkaC");
    if (o.packageCipher) {
        good = good && ok(CryptAlgoMode(h, 2, 2), "CryptAlgoMode") &&
               ok(CryptKeyIv(h, "k3y0f8b!", "iv8bytes"), "CryptKeyIv");
    }
    good = good && ok(SetOutPathC(h, (folder + "/").c_str()), "SetOutPathC");
    for (int d = 0; good && d < o.documents; ++d) {
        good = ok(AddDokumentC(h, "DOK", 4, 1, desc), "AddDokumentC");
        for (int s = 0; good && s < o.sections; ++s) {
            good = ok(AddSekcjaC(h, ("S" + std::to_string(s)).c_str(), desc), "AddSekcjaC");
            std::size_t length = 2;
            for (const Field& f : fields) {
                good = good &&
                       ok(AddDefPolC(h, f.name, f.type, std::to_string(f.size).c_str(), "2", desc),
                          "AddDefPolC");
                length += static_cast<std::size_t>(f.size) + 1;
            }
            if (good && o.extended) {
                good = ok(SetDefPolExt(h, 4, 5, source.c_str(), o.fieldCipher ? "f13ldk3y" : "",
                                       o.fieldCipher ? "iv8bytes" : "", 2, 2, 512),
                          "SetDefPolExt");
            }
            for (int r = 0; good && r < o.records; ++r) {
                std::vector<char> record(length, '\0');
                std::snprintf(record.data(), 7, "%06d", r);
                std::memcpy(record.data() + 7, "\xA3ukasz", 6);
                std::memcpy(record.data() + 20, "notatka", 7);
                std::memcpy(record.data() + 51, "uwagi", 5);
                good = ok(AddRekordC(h, record.data()), "AddRekordC");
            }
        }
    }
    good = good && ok(SaveC(h, (folder + "/" + name).c_str()), "SaveC");
    Clear(h);
    std::remove(source.c_str());
    return good;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qdp_fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    struct Seed {
        const char* name;
        Options options;
    };
    const Seed seeds[] = {
        {"plain.qdp", {}},
        {"descriptions.qdp", {.descriptions = true}},
        {"extended.qdp", {.extended = true}},
        {"extended-empty.qdp", {.extended = true, .sourceSize = 0}},
        {"cipher.qdp", {.packageCipher = true, .extended = true}},
        {"field-cipher.qdp", {.fieldCipher = true, .extended = true}},
        {"both-ciphers.qdp",
         {.descriptions = true, .packageCipher = true, .fieldCipher = true, .extended = true}},
        {"no-records.qdp", {.records = 0}},
        {"several.qdp", {.records = 3, .sections = 2, .documents = 2, .sourceSize = 300}},
    };
    bool good = true;
    for (const Seed& s : seeds)
        good = make(folder, s.name, s.options) && good;
    return good ? 0 : 1;
}
