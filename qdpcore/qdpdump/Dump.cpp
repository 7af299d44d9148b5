// SPDX-License-Identifier: MIT
#include "Dump.h"

#include "PackageDump.h"
#include "ResultTexts.h"
#include "Windows1250.h"

#include <qdpcore/qdpcore.h>

#include <charconv>
#include <cstring>
#include <memory>
#include <optional>

namespace qdpdump {

namespace {

constexpr const char* kHelp =
    "qdpdump - pokazuje zawartość pliku paczki QDP\n"
    "\n"
    "Użycie: qdpdump [opcje] PLIK\n"
    "\n"
    "Bez opcji paczka jest wypisywana czytelnie: nagłówek paczki, dokumenty,\n"
    "sekcje, definicje pól i wszystkie rekordy. Teksty paczki (Windows-1250)\n"
    "są pokazywane w UTF-8; pole z danymi binarnymi (np. zaszyfrowanymi)\n"
    "jako 0x i cyfry szesnastkowe.\n"
    "\n"
    "Opcje:\n"
    "  --json          cała paczka jako jeden dokument JSON (rekordy jako obiekty\n"
    "                  z nazwami pól)\n"
    "  --csv SEKCJA    rekordy pierwszej sekcji o kodzie SEKCJA jako CSV\n"
    "                  z wierszem nagłówka\n"
    "  --algo N        kod algorytmu szyfru paczki (2 DES, 3 i 4 3DES, 5 RC2,\n"
    "                  6 RC4, 7 SAFER, 8 Blowfish)\n"
    "  --mode N        kod trybu szyfru (1 ECB, 2 CBC, 3 CFB, 4 OFB, 5 PCBC, 6 PKC)\n"
    "  --key KLUCZ     klucz szyfru paczki\n"
    "  --iv IV         wektor początkowy szyfru paczki\n"
    "  -h, --help      ten opis\n"
    "\n"
    "Kod wyjścia: 0 - paczka odczytana bez błędu, 1 - złe argumenty,\n"
    "2 - błąd pliku paczki lub szyfru: na standardowe wyjście błędów trafia wtedy\n"
    "wiersz z kodem biblioteki i jego znaczeniem.\n";

struct Options {
    std::string file;
    enum class Form { Text, Json, Csv } form = Form::Text;
    std::string csvSection;
    std::optional<int> algorithm;
    int mode = 0;
    std::optional<std::string> key;
    std::string iv;
    bool help = false;
};

bool parseInt(const std::string& s, int& value) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size();
}

// Fills options; an error text when the arguments are wrong.
std::optional<std::string> parseArguments(const std::vector<std::string>& args, Options& o) {
    bool formGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& into) -> bool {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--json" || a == "--csv") {
            if (formGiven) return "podaj tylko jedną z opcji --json i --csv";
            formGiven = true;
            o.form = a == "--json" ? Options::Form::Json : Options::Form::Csv;
            if (a == "--csv" && !value(o.csvSection)) return "opcja --csv wymaga kodu sekcji";
        } else if (a == "--algo" || a == "--mode") {
            int n = 0;
            if (!value(v) || !parseInt(v, n)) return "opcja " + a + " wymaga liczby";
            if (a == "--algo")
                o.algorithm = n;
            else
                o.mode = n;
        } else if (a == "--key") {
            if (!value(v)) return "opcja --key wymaga klucza";
            o.key = v;
        } else if (a == "--iv") {
            if (!value(o.iv)) return "opcja --iv wymaga wartości";
        } else if (a.size() > 1 && a[0] == '-') {
            return "nieznana opcja " + a;
        } else if (!o.file.empty()) {
            return "podaj jeden plik paczki";
        } else {
            o.file = a;
        }
    }
    if (o.help) return std::nullopt;
    if (o.file.empty()) return "podaj plik paczki";
    if (o.key && !o.algorithm) return "do klucza podaj algorytm (--algo)";
    return std::nullopt;
}

std::string text(const char* bytes, std::size_t width) {
    return utf8FromWindows1250(std::string_view(bytes, strnlen(bytes, width)));
}

class Session {
public:
    Session(const Options& o, std::ostream& err) : options_(o), err_(err) {}
    ~Session() {
        if (handle_ != 0) Clear(handle_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    int run(DumpWriter& writer);

private:
    void report(const std::string& where, std::int32_t code, std::string_view meaning) {
        err_ << "qdpdump: " << options_.file << ": " << where << "kod " << code << ": " << meaning
             << "\n";
        exit_ = kExitPackage;
    }
    bool open(PackageInfo& p);
    bool readSection(std::uint32_t d, std::uint32_t s, SectionInfo& info);
    void readRecords(DumpWriter& writer, const SectionInfo& info, const std::string& where);

    const Options& options_;
    std::ostream& err_;
    QdpHandle handle_ = 0;
    int exit_ = kExitOk;
};

bool Session::open(PackageInfo& p) {
    char typeCode[33] = {}, programCode[33] = {}, date[11] = {}, description[251] = {},
         sizeText[11] = {};
    const std::int32_t r =
        ReadPaczkaHeadC(&handle_, options_.file.c_str(), &p.version, typeCode, programCode,
                        &p.documentCount, date, description, &p.totalSize, sizeText);
    if (r != QDP_OK) report("", r, packageResultText(r));
    // Without a package there is nothing to show; with one (a wrong length,
    // a broken part) whatever can be read is still shown.
    if (handle_ == 0) return false;
    p.path = options_.file;
    p.typeCode = text(typeCode, sizeof typeCode);
    p.programCode = text(programCode, sizeof programCode);
    p.date = text(date, sizeof date);
    p.description = text(description, sizeof description);
    p.sizeText = text(sizeText, sizeof sizeText);
    if (options_.algorithm) {
        std::int32_t c = CryptAlgoMode(handle_, *options_.algorithm, options_.mode);
        if (c == QDP_OK) {
            c = CryptKeyIv(handle_, options_.key ? options_.key->c_str() : "", options_.iv.c_str());
        }
        if (c != QDP_OK) {
            report("szyfr: ", c, cipherResultText(c));
            return false;
        }
    }
    return true;
}

// Selects section s of document d and reads its header and fields; false
// when its records cannot be read.
bool Session::readSection(std::uint32_t d, std::uint32_t s, SectionInfo& info) {
    info.document = d;
    info.index = s;
    const std::string where =
        "dokument " + std::to_string(d + 1) + ", sekcja " + std::to_string(s + 1) + ": ";
    const std::int32_t selected = SetCurrentSekcja(handle_, s);
    char code[17] = {}, description[251] = {};
    std::uint32_t fieldCount = 0;
    const std::int32_t r = ReadSekcjaHeadC(handle_, &info.offset, &info.length, code, &fieldCount,
                                           &info.recordCount, description);
    if (r != QDP_OK) {
        report(where, r, packageResultText(r));
        return false;
    }
    info.code = text(code, sizeof code);
    info.description = text(description, sizeof description);
    if (fieldCount > 0) {
        std::vector<char> names(25 * fieldCount), types(5 * fieldCount), sizes(5 * fieldCount),
            precisions(5 * fieldCount), descriptions(251 * fieldCount);
        const std::int32_t l = ReadListaDefPolC(handle_, names.data(), types.data(), sizes.data(),
                                                precisions.data(), descriptions.data());
        if (l != QDP_OK) {
            report(where, l, packageResultText(l));
            return false;
        }
        std::size_t offset = 0;
        for (std::uint32_t i = 0; i < fieldCount; ++i) {
            FieldInfo& f = info.fields.emplace_back();
            f.name = text(&names[25 * i], 25);
            f.type = text(&types[5 * i], 5);
            const std::string size(&sizes[5 * i], strnlen(&sizes[5 * i], 5));
            const std::string precision(&precisions[5 * i], strnlen(&precisions[5 * i], 5));
            int n = 0;
            f.size = parseInt(size, n) && n > 0 ? static_cast<std::uint32_t>(n) : 0;
            f.precision = parseInt(precision, n) && n > 0 ? static_cast<std::uint32_t>(n) : 0;
            f.description = text(&descriptions[251 * i], 251);
            f.offset = offset;
            offset += f.size + 1;
        }
    }
    if (selected != QDP_OK) {
        report(where, selected, packageResultText(selected));
        return false;
    }
    return !info.fields.empty();
}

void Session::readRecords(DumpWriter& writer, const SectionInfo& info, const std::string& where) {
    std::size_t length = 2;
    for (const FieldInfo& f : info.fields)
        length += f.size + 1;
    std::string record(length, '\0');
    for (std::uint64_t n = 1;; ++n) {
        const std::int32_t r = ReadRecordC(handle_, record.data());
        if (r == QDP_END_OF_SECTION) return;
        if (r != QDP_OK) {
            report(where + "rekord " + std::to_string(n) + ": ", r, packageResultText(r));
            return;
        }
        writer.record(info, n, record);
    }
}

int Session::run(DumpWriter& writer) {
    PackageInfo p;
    if (!open(p)) return exit_;
    const bool csv = options_.form == Options::Form::Csv;
    bool csvFound = false;
    writer.package(p);
    for (std::uint32_t d = 0; d < p.documentCount && !(csv && csvFound); ++d) {
        const std::string where = "dokument " + std::to_string(d + 1) + ": ";
        DocumentInfo doc;
        doc.index = d;
        char typeCode[33] = {}, date[11] = {}, description[251] = {};
        std::int32_t r = SetCurrentDokument(handle_, d);
        if (r == QDP_OK) {
            r = ReadDokumentHeadC(handle_, &doc.offset, &doc.length, typeCode, &doc.typeVersion,
                                  &doc.typeVariant, &doc.sectionCount, date, description);
        }
        if (r != QDP_OK) {
            report(where, r, packageResultText(r));
            break;
        }
        doc.typeCode = text(typeCode, sizeof typeCode);
        doc.date = text(date, sizeof date);
        doc.description = text(description, sizeof description);
        writer.beginDocument(doc);
        for (std::uint32_t s = 0; s < doc.sectionCount; ++s) {
            SectionInfo info;
            const bool readable = readSection(d, s, info);
            if (csv && (csvFound || info.code != options_.csvSection)) continue;
            csvFound = csvFound || csv;
            writer.beginSection(info);
            // A section without records is not read: its field sizes alone
            // would decide how much room a record takes.
            if (readable && info.recordCount > 0) {
                readRecords(writer, info, where + "sekcja " + std::to_string(s + 1) + ": ");
            }
            writer.endSection();
            if (csv) break;
        }
        writer.endDocument();
    }
    writer.finish();
    if (csv && !csvFound) {
        err_ << "qdpdump: " << options_.file << ": nie ma sekcji o kodzie \"" << options_.csvSection
             << "\"\n";
        if (exit_ == kExitOk) exit_ = kExitUsage;
    }
    return exit_;
}

} // namespace

int runDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    if (const auto error = parseArguments(args, options)) {
        err << "qdpdump: " << *error << "\n(qdpdump --help opisuje użycie)\n";
        return kExitUsage;
    }
    if (options.help) {
        out << kHelp;
        return kExitOk;
    }
    std::unique_ptr<DumpWriter> writer;
    switch (options.form) {
    case Options::Form::Text:
        writer = std::make_unique<TextWriter>(out);
        break;
    case Options::Form::Json:
        writer = std::make_unique<JsonWriter>(out);
        break;
    case Options::Form::Csv:
        writer = std::make_unique<CsvWriter>(out);
        break;
    }
    Session session(options, err);
    const int code = session.run(*writer);
    out.flush();
    return code;
}

} // namespace qdpdump
