// SPDX-License-Identifier: MIT
#include "ZipArchive.h"

#include "WorkbookError.h"
#include "WorkbookFile.h"

#include <unistd.h>

#include <zip.h>

namespace xls2qdp {

namespace {

std::string normalisedName(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (char c : name) {
        if (c == '\\') c = '/';
        if (c == '/' && key.empty()) continue;
        key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}

} // namespace

ZipArchive::ZipArchive(const std::filesystem::path& file) : ZipArchive(WorkbookFile(file)) {}

ZipArchive::ZipArchive(const WorkbookFile& file) : path_(file.path()) {
    int error = 0;
    const int fd = file.duplicate();
    zip_ = zip_fdopen(fd, ZIP_RDONLY, &error); // owns fd from here on, if it succeeds
    if (!zip_) {
        ::close(fd);
        if (error == ZIP_ER_OPEN || error == ZIP_ER_READ)
            throw WorkbookError(path_, "nie można otworzyć pliku (brak dostępu lub plik zajęty).");
        throw WorkbookError(path_,
                            std::string(kDamagedFile) +
                                " Archiwum ZIP, w którym zapisano skoroszyt, jest niekompletne.");
    }
    const zip_int64_t entries = zip_get_num_entries(zip_, 0);
    for (zip_int64_t i = 0; i < entries; ++i)
        if (const char* name = zip_get_name(zip_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS))
            normalised_.try_emplace(normalisedName(name), i);
}

long long ZipArchive::locate(const std::string& name) const {
    const zip_int64_t index = zip_name_locate(zip_, name.c_str(), 0);
    if (index >= 0) return index;
    const auto found = normalised_.find(normalisedName(name));
    return found == normalised_.end() ? -1 : found->second;
}

ZipArchive::~ZipArchive() {
    if (zip_) zip_discard(zip_);
}

bool ZipArchive::contains(const std::string& name) const {
    return locate(name) >= 0;
}

std::size_t ZipArchive::unpackedSize(const std::string& name) const {
    const long long index = locate(name);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (index < 0 || zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE))
        return 0;
    return static_cast<std::size_t>(stat.size);
}

std::optional<ZipArchive::Entry> ZipArchive::open(const std::string& name) const {
    const long long index = locate(name);
    if (index < 0) return std::nullopt;
    zip_file_t* file = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        const int code = zip_error_code_zip(zip_get_error(zip_));
        if (code == ZIP_ER_ENCRNOTSUPP || code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD)
            throw WorkbookError(path_, kEncryptedWorkbook);
        throw WorkbookError(path_, std::string(kDamagedFile) + " Nie można rozpakować części „" +
                                       name + "”.");
    }
    return Entry(file, name, path_);
}

std::optional<std::string> ZipArchive::readAll(const std::string& name, std::size_t maxSize) const {
    auto entry = open(name);
    if (!entry) return std::nullopt;
    std::string data;
    char buffer[16384];
    while (std::size_t n = entry->read(buffer, sizeof buffer)) {
        data.append(buffer, n);
        if (data.size() > maxSize)
            throw WorkbookError(path_, std::string(kDamagedFile) + " Część „" + name +
                                           "” jest nieprawdopodobnie duża.");
    }
    return data;
}

ZipArchive::Entry::Entry(zip_file* file, std::string name, const std::filesystem::path& archive)
    : file_(file), name_(std::move(name)), archive_(archive) {}

ZipArchive::Entry::Entry(Entry&& other) noexcept
    : file_(other.file_), name_(std::move(other.name_)), archive_(std::move(other.archive_)) {
    other.file_ = nullptr;
}

ZipArchive::Entry::~Entry() {
    if (file_) zip_fclose(file_);
}

std::size_t ZipArchive::Entry::read(char* buffer, std::size_t size) {
    const zip_int64_t n = zip_fread(file_, buffer, size);
    if (n < 0)
        throw WorkbookError(archive_, std::string(kDamagedFile) + " Nie można rozpakować części „" +
                                          name_ + "”.");
    return static_cast<std::size_t>(n);
}

} // namespace xls2qdp
