// SPDX-License-Identifier: MIT
#include "TempFile.h"

#include <algorithm>
#include <cerrno>

namespace qdp {

Result TempFile::create(const std::string& folder, NameTemplate& nameTemplate) {
    discard();
    std::string name;
    if (const Result r = nameTemplate.makeName(folder, name); !ok(r)) return r;
    OsFile file = OsFile::createNew(name);
    if (!file.isOpen()) {
        return errno == ENOENT || errno == ENOTDIR ? Result::FolderMissing : Result::TempFileFailed;
    }
    file.tryLock();
    file_ = std::move(file);
    path_ = std::move(name);
    size_ = 0;
    return Result::Ok;
}

Result TempFile::append(std::span<const char> bytes) {
    if (bytes.empty()) return Result::Ok;
    const Result r = file_.writeAll(bytes);
    if (ok(r)) size_ += bytes.size();
    return r;
}

void TempFile::truncateTo(std::uint64_t length) {
    if (length < size_ && file_.truncateTo(length)) size_ = length;
}

Result TempFile::copyTo(ByteSink& sink, std::span<char> buffer) {
    if (!file_.isOpen() || buffer.empty()) return Result::WriteFailed;
    std::uint64_t offset = 0;
    while (offset < size_) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size_ - offset));
        const std::int64_t got = file_.readAt(buffer.first(want), offset);
        if (got <= 0) return Result::WriteFailed;
        if (const Result r = sink.write(buffer.first(static_cast<std::size_t>(got))); !ok(r))
            return r;
        offset += static_cast<std::uint64_t>(got);
    }
    return Result::Ok;
}

void TempFile::discard() {
    file_.close();
    if (!path_.empty()) removeFile(path_);
    path_.clear();
    size_ = 0;
}

} // namespace qdp
