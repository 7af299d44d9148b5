// SPDX-License-Identifier: MIT
// Chooses the reader by the first bytes of the file. The name only matters
// for text files: text is read as CSV unless the name claims a binary
// workbook format, which then is a mistake worth telling the user about.
#include "WorkbookReader.h"

#include "CsvReader.h"
#include "OdsReader.h"
#include "XlsReader.h"
#include "XlsxReader.h"
#include "ZipArchive.h"

#include <algorithm>
#include <cstring>
#include <fstream>
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

std::unique_ptr<WorkbookReader> openZipWorkbook(const std::filesystem::path& file, int columnLimit,
                                                std::size_t sheet) {
    std::string kind;
    {
        ZipArchive archive(file);
        if (auto mimetype = archive.readAll("mimetype", 1024)) {
            if (mimetype->starts_with("application/vnd.oasis.opendocument.spreadsheet"))
                kind = "ods";
            else if (mimetype->starts_with("application/vnd.oasis.opendocument."))
                throw WorkbookError(file, "to dokument OpenDocument, ale nie arkusz kalkulacyjny.");
        }
        if (kind.empty()) {
            if (archive.contains("xl/workbook.bin"))
                throw WorkbookError(file,
                                    "skoroszyt binarny (.xlsb) nie jest obsługiwany. Zapisz go "
                                    "w formacie .xlsx i wskaż ponownie.");
            if (archive.contains("[Content_Types].xml") || archive.contains("xl/workbook.xml"))
                kind = archive.contains("word/document.xml") ? "word" : "xlsx";
            else if (archive.contains("content.xml"))
                kind = "ods";
        }
        if (kind == "word")
            throw WorkbookError(file, "to dokument programu MS Word, a nie skoroszyt.");
        if (kind.empty())
            throw WorkbookError(file, "to archiwum ZIP, które nie zawiera skoroszytu.");
    }
    return kind == "ods" ? OpenOdsReader(file, columnLimit, sheet)
                         : OpenXlsxReader(file, columnLimit, sheet);
}

} // namespace

std::unique_ptr<WorkbookReader> OpenWorkbookReader(const std::filesystem::path& file,
                                                   int columnLimit, std::size_t sheet) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found)
        throw WorkbookError(file, "plik nie istnieje.");
    if (status.type() == std::filesystem::file_type::directory)
        throw WorkbookError(file, "to jest folder, a nie plik.");

    std::string head(kSniffSize, '\0');
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            throw WorkbookError(file, "nie można otworzyć pliku (brak dostępu lub plik zajęty).");
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(in.gcount()));
    }
    if (head.empty()) throw WorkbookError(file, "plik jest pusty.");

    if (head.starts_with("PK\x03\x04") || head.starts_with(std::string_view("PK\x05\x06", 4)))
        return openZipWorkbook(file, columnLimit, sheet);
    if (head.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return OpenXlsReader(file, columnLimit, sheet);
    // BIFF2 to BIFF4 files start with their BOF record right away.
    if (head.size() >= 4 && head[0] == '\x09' &&
        (head[1] == '\x00' || head[1] == '\x02' || head[1] == '\x04'))
        throw WorkbookError(file, "skoroszyt w starym formacie MS Excel (wersja 2.x-4.x) nie jest "
                                  "obsługiwany. Zapisz go w formacie .xlsx i wskaż ponownie.");
    if (std::memchr(head.data(), '\0', head.size()))
        throw WorkbookError(file,
                            "nieznany format pliku: to nie jest skoroszyt (.xlsx, .ods, .xls) "
                            "ani plik tekstowy CSV.");
    const std::string extension = lowerExtension(file);
    if (extension == ".xls" || extension == ".xlsx" || extension == ".xlsm" ||
        extension == ".ods" || extension == ".xlsb")
        throw WorkbookError(file, "plik ma rozszerzenie „" + extension +
                                      "”, ale zawiera zwykły tekst, a nie skoroszyt. Jeśli to dane "
                                      "rozdzielone średnikami, nadaj mu rozszerzenie „.csv”.");
    if (sheet != 0) throw WorkbookError(file, kNoSuchWorksheet); // a text file is one sheet
    return OpenCsvReader(file, columnLimit);
}

} // namespace xls2qdp
