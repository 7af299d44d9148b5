// SPDX-License-Identifier: MIT
#include "TempFile.h"

#include <algorithm>
#include <cerrno>

namespace qdp {
namespace {
// One write() per this many bytes of records instead of one per record.
constexpr std::size_t kWriteBufferSize = 64 * 1024;
} // namespace

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
    written_ = 0;
    pending_.clear();
    return Result::Ok;
}

Result TempFile::flush() {
    if (pending_.empty()) return Result::Ok;
    const Result r = file_.writeAll(pending_);
    if (!ok(r)) {
        file_.truncateTo(written_);
        return r;
    }
    written_ += pending_.size();
    pending_.clear();
    return Result::Ok;
}

Result TempFile::append(std::span<const char> bytes) {
    if (bytes.empty()) return Result::Ok;
    if (!file_.isOpen()) return Result::WriteFailed;
    if (pending_.size() + bytes.size() > kWriteBufferSize) {
        if (const Result r = flush(); !ok(r)) return r;
        if (bytes.size() >= kWriteBufferSize) {
            const Result r = file_.writeAll(bytes);
            if (ok(r))
                written_ += bytes.size();
            else
                file_.truncateTo(written_);
            return r;
        }
    }
    if (pending_.capacity() == 0) pending_.reserve(kWriteBufferSize);
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    return Result::Ok;
}

void TempFile::truncateTo(std::uint64_t length) {
    if (length >= size()) return;
    if (length >= written_) {
        pending_.resize(static_cast<std::size_t>(length - written_));
    } else if (file_.truncateTo(length)) {
        written_ = length;
        pending_.clear();
    }
}

Result TempFile::copyTo(ByteSink& sink, std::span<char> buffer) {
    if (!file_.isOpen() || buffer.empty()) return Result::WriteFailed;
    if (const Result r = flush(); !ok(r)) return r;
    // The system copies what it can between the files; the rest goes
    // through the buffer.
    std::uint64_t offset = 0;
    if (const Result r = sink.copyFrom(file_, 0, written_, offset); !ok(r)) return r;
    while (offset < written_) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), written_ - offset));
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
    written_ = 0;
    pending_.clear();
    pending_.shrink_to_fit();
}

} // namespace qdp
