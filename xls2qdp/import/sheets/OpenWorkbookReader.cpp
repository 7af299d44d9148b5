// SPDX-License-Identifier: MIT
// Chooses the reader by the first bytes of the file. The name only matters
// for text files: text is read as CSV (or as a flat OpenDocument file when it
// is one) unless the name claims a binary workbook format, which then is a
// mistake worth telling the user about.
#include "WorkbookReader.h"

#include "CsvReader.h"
#include "OdsReader.h"
#include "XlsReader.h"
#include "XlsxReader.h"
#include "ZipArchive.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace xls2qdp {

namespace {

constexpr std::size_t kSniffSize = 4096;

std::string lowerExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::unique_ptr<WorkbookReader> openZipWorkbook(WorkbookFile file, int columnLimit,
                                                std::size_t sheet) {
    std::string kind;
    {
        ZipArchive archive(file);
        if (auto mimetype = archive.readAll("mimetype", 1024)) {
            if (mimetype->starts_with("application/vnd.oasis.opendocument.spreadsheet"))
                kind = "ods";
            else if (mimetype->starts_with("application/vnd.oasis.opendocument."))
                throw WorkbookError(file.path(),
                                    "to dokument OpenDocument, ale nie arkusz kalkulacyjny.");
        }
        if (kind.empty()) {
            if (archive.contains("xl/workbook.bin"))
                throw WorkbookError(file.path(),
                                    "skoroszyt binarny (.xlsb) nie jest obsługiwany. Zapisz go "
                                    "w formacie .xlsx i wskaż ponownie.");
            if (archive.contains("[Content_Types].xml") || archive.contains("xl/workbook.xml"))
                kind = archive.contains("word/document.xml") ? "word" : "xlsx";
            else if (archive.contains("content.xml"))
                kind = "ods";
        }
        if (kind == "word")
            throw WorkbookError(file.path(), "to dokument programu MS Word, a nie skoroszyt.");
        if (kind.empty())
            throw WorkbookError(file.path(), "to archiwum ZIP, które nie zawiera skoroszytu.");
    }
    return kind == "ods" ? OpenOdsReader(std::move(file), columnLimit, sheet)
                         : OpenXlsxReader(std::move(file), columnLimit, sheet);
}

// Text files that are markup, not CSV: "fods" for a flat OpenDocument file,
// the reason for refusing any other, "" for text that is no markup. Read as
// CSV, markup would come out as cell texts full of tags.
std::string markupKind(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
    while (!head.empty() && (head.front() == ' ' || head.front() == '\t' || head.front() == '\r' ||
                             head.front() == '\n'))
        head.remove_prefix(1);
    if (!head.starts_with('<')) return {};
    std::string lower(head.substr(0, 64));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.starts_with("<html") || lower.starts_with("<!doctype html") ||
        lower.starts_with("<table"))
        return "to strona HTML, a nie skoroszyt. Otwórz ją w arkuszu kalkulacyjnym, zapisz w "
               "formacie .xlsx i wskaż ponownie.";
    if (head.find("urn:oasis:names:tc:opendocument:xmlns:office:1.0") != std::string_view::npos)
        return "fods";
    if (head.find("urn:schemas-microsoft-com:office:spreadsheet") != std::string_view::npos)
        return "skoroszyt w formacie XML programu MS Excel 2003 nie jest obsługiwany. Zapisz go "
               "w formacie .xlsx i wskaż ponownie.";
    if (lower.starts_with("<?xml"))
        return "to plik XML, a nie skoroszyt (.xlsx, .ods, .xls) ani plik tekstowy CSV.";
    return {};
}

} // namespace

std::unique_ptr<WorkbookReader> OpenWorkbookReader(const std::filesystem::path& path,
                                                   int columnLimit, std::size_t sheet) {
    WorkbookFile file(path);
    std::string head(kSniffSize, '\0');
    std::size_t got = 0;
    while (got < head.size()) {
        const std::size_t n = file.read(head.data() + got, head.size() - got);
        if (n == 0) break;
        got += n;
    }
    head.resize(got);
    file.seek(0);
    if (head.empty()) throw WorkbookError(path, "plik jest pusty.");

    if (head.starts_with("PK\x03\x04") || head.starts_with(std::string_view("PK\x05\x06", 4)))
        return openZipWorkbook(std::move(file), columnLimit, sheet);
    if (head.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return OpenXlsReader(std::move(file), columnLimit, sheet);
    // BIFF2 to BIFF4 files start with their BOF record right away.
    if (head.size() >= 4 && head[0] == '\x09' &&
        (head[1] == '\x00' || head[1] == '\x02' || head[1] == '\x04'))
        throw WorkbookError(path, "skoroszyt w starym formacie MS Excel (wersja 2.x-4.x) nie jest "
                                  "obsługiwany. Zapisz go w formacie .xlsx i wskaż ponownie.");
    if (const auto markup = markupKind(head); !markup.empty()) {
        if (markup == "fods") return OpenFlatOdsReader(std::move(file), columnLimit, sheet);
        throw WorkbookError(path, markup);
    }
    if (std::memchr(head.data(), '\0', head.size()))
        throw WorkbookError(path,
                            "nieznany format pliku: to nie jest skoroszyt (.xlsx, .ods, .xls) "
                            "ani plik tekstowy CSV.");
    const std::string extension = lowerExtension(path);
    if (extension == ".xls" || extension == ".xlsx" || extension == ".xlsm" ||
        extension == ".ods" || extension == ".xlsb")
        throw WorkbookError(path, "plik ma rozszerzenie „" + extension +
                                      "”, ale zawiera zwykły tekst, a nie skoroszyt. Jeśli to dane "
                                      "rozdzielone średnikami, nadaj mu rozszerzenie „.csv”.");
    if (sheet != 0) throw WorkbookError(path, kNoSuchWorksheet); // a text file is one sheet
    return OpenCsvReader(std::move(file), columnLimit);
}

} // namespace xls2qdp
