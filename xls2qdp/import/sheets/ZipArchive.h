// SPDX-License-Identifier: MIT
// Read access to the parts of a zip archive (.xlsx, .ods) over libzip.
// Parts are found by name as the package formats mean it, not byte for byte:
// part names are compared without regard to case, and some programs store
// them with a backslash as the separator or with a leading slash.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

struct zip;
struct zip_file;

namespace xls2qdp {

class WorkbookFile;

class ZipArchive {
public:
    // Throws WorkbookError naming the file when it is no readable zip archive.
    explicit ZipArchive(const WorkbookFile& file);
    explicit ZipArchive(const std::filesystem::path& file);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool contains(const std::string& name) const;
    // The part's size once unpacked, as the archive states it (0 when unknown).
    std::size_t unpackedSize(const std::string& name) const;

    // One part, read as a stream. Throws WorkbookError on damaged data.
    class Entry {
    public:
        Entry(Entry&&) noexcept;
        ~Entry();
        // Up to size bytes into buffer; 0 at the end.
        std::size_t read(char* buffer, std::size_t size);
        const std::string& name() const { return name_; }

    private:
        friend class ZipArchive;
        Entry(zip_file* file, std::string name, const std::filesystem::path& archive);
        zip_file* file_;
        std::string name_;
        std::filesystem::path archive_;
    };
    // The part or nothing when the archive has no such part.
    std::optional<Entry> open(const std::string& name) const;
    // A small part as a whole (at most maxSize bytes), or nothing.
    std::optional<std::string> readAll(const std::string& name, std::size_t maxSize) const;

    const std::filesystem::path& path() const { return path_; }

private:
    // The entry index of a part, or -1.
    long long locate(const std::string& name) const;

    std::filesystem::path path_;
    zip* zip_;
    // Entries by normalised name, for names not stored exactly as asked.
    std::unordered_map<std::string, long long> normalised_;
};

} // namespace xls2qdp
