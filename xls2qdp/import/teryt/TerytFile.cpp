// SPDX-License-Identifier: MIT
#include "TerytFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <zip.h>
#include <zlib.h>

namespace xls2qdp::teryt {
namespace {

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

std::string readZipMember(const std::filesystem::path& file) {
    int error = 0;
    zip_t* archive = zip_open(file.string().c_str(), ZIP_RDONLY, &error);
    if (!archive) throw TerytError(file.string() + ": nie jest poprawnym archiwum ZIP");
    std::string text;
    std::string problem = "archiwum nie zawiera pliku .csv";
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !st.name)
            continue;
        if (!endsWithIgnoringCase(st.name, ".csv")) continue;
        if (!(st.valid & ZIP_STAT_SIZE) || st.size > (std::uint64_t{1} << 30)) {
            problem = "plik .csv w archiwum ma niedozwolony rozmiar";
            break;
        }
        zip_file_t* member = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (!member) {
            problem = "nie można odczytać pliku .csv z archiwum";
            break;
        }
        text.resize(static_cast<std::size_t>(st.size));
        const zip_int64_t got = zip_fread(member, text.data(), text.size());
        zip_fclose(member);
        if (got != static_cast<zip_int64_t>(text.size())) {
            problem = "archiwum jest uszkodzone";
            text.clear();
            break;
        }
        zip_close(archive);
        return text;
    }
    zip_discard(archive);
    throw TerytError(file.string() + ": " + problem);
}

// Reads a plain or gzip-compressed file (zlib reads both alike).
std::string readMaybeCompressed(const std::filesystem::path& file) {
    gzFile in = gzopen(file.string().c_str(), "rb");
    if (!in) throw TerytError(file.string() + ": nie można otworzyć pliku");
    std::string text;
    std::string chunk(1 << 16, '\0');
    for (;;) {
        const int got = gzread(in, chunk.data(), static_cast<unsigned>(chunk.size()));
        if (got < 0) {
            gzclose(in);
            throw TerytError(file.string() + ": plik jest uszkodzony");
        }
        if (got == 0) break;
        text.append(chunk.data(), static_cast<std::size_t>(got));
        if (text.size() > (std::size_t{1} << 30))
            throw TerytError(file.string() + ": plik jest zbyt duży");
    }
    gzclose(in);
    return text;
}

bool isZip(const std::filesystem::path& file) {
    std::FILE* f = std::fopen(file.string().c_str(), "rb");
    if (!f) return false;
    char magic[4] = {};
    const std::size_t got = std::fread(magic, 1, 4, f);
    std::fclose(f);
    return got == 4 && magic[0] == 'P' && magic[1] == 'K' && magic[2] == 3 && magic[3] == 4;
}

std::vector<std::string_view> split(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(';', start);
        fields.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return fields;
}

// Next line (without CR LF) from text[pos]; advances pos past the line end.
std::string_view nextLine(std::string_view text, std::size_t& pos) {
    const std::size_t end = text.find('\n', pos);
    std::string_view line = text.substr(pos, end == std::string_view::npos ? end : end - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

} // namespace

TerytFile::TerytFile(const std::filesystem::path& file,
                     const std::vector<std::string>& requiredColumns)
    : name_(file.filename().string()) {
    if (!std::filesystem::is_regular_file(file)) throw TerytError(file.string() + ": brak pliku");
    text_ = isZip(file) ? readZipMember(file) : readMaybeCompressed(file);
    if (text_.starts_with("\xEF\xBB\xBF")) text_.erase(0, 3);

    std::size_t pos = 0;
    const std::string_view header = nextLine(text_, pos);
    bodyStart_ = pos;
    const auto names = split(header);
    columnCount_ = names.size();
    for (const auto& wanted : requiredColumns) {
        const auto it = std::find(names.begin(), names.end(), wanted);
        if (it == names.end())
            throw TerytError(name_ + ": w nagłówku brak kolumny " + wanted +
                             " (czy to na pewno lista TERYT w wariancie urzędowym?)");
        columnIndex_.push_back(static_cast<std::size_t>(it - names.begin()));
    }
}

void TerytFile::forEachRow(
    const std::function<void(const std::vector<std::string_view>&, int)>& visit) const {
    std::size_t pos = bodyStart_;
    int lineNumber = 1;
    std::vector<std::string_view> picked(columnIndex_.size());
    while (pos < text_.size()) {
        const std::string_view line = nextLine(text_, pos);
        ++lineNumber;
        if (line.empty()) continue;
        const auto fields = split(line);
        if (fields.size() != columnCount_)
            throw TerytError(name_ + ", wiersz " + std::to_string(lineNumber) + ": " +
                             std::to_string(fields.size()) + " pól zamiast " +
                             std::to_string(columnCount_));
        for (std::size_t i = 0; i < columnIndex_.size(); ++i)
            picked[i] = fields[columnIndex_[i]];
        visit(picked, lineNumber);
    }
}

} // namespace xls2qdp::teryt
