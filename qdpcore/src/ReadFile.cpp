// SPDX-License-Identifier: MIT
#include "ReadFile.h"

#include <algorithm>
#include <cstring>

namespace qdp {

namespace {

// Large enough that a record walk costs one system call per many records;
// never larger than the file itself.
constexpr std::size_t kWindowSize = 256 * 1024;

bool seekTo(std::FILE* f, std::uint64_t pos) {
#if defined(_WIN32)
    return _fseeki64(f, static_cast<__int64>(pos), SEEK_SET) == 0;
#else
    if (pos > static_cast<std::uint64_t>(INT64_MAX)) return false;
    return fseeko(f, static_cast<off_t>(pos), SEEK_SET) == 0;
#endif
}

bool lengthOf(std::FILE* f, std::uint64_t& length) {
#if defined(_WIN32)
    if (_fseeki64(f, 0, SEEK_END) != 0) return false;
    const __int64 end = _ftelli64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0) return false;
    const off_t end = ftello(f);
#endif
    if (end < 0) return false;
    length = static_cast<std::uint64_t>(end);
    return true;
}

} // namespace

bool ReadFile::open(const char* path) {
    file_.reset();
    records_ = {};
    blobs_ = {};
    size_ = 0;
    std::unique_ptr<std::FILE, Closer> f(std::fopen(path, "rb"));
    if (!f) return false;
    // The windows below do the buffering.
    std::setvbuf(f.get(), nullptr, _IONBF, 0);
    std::uint64_t length = 0;
    if (!lengthOf(f.get(), length)) return false;
    file_ = std::move(f);
    size_ = length;
    return true;
}

bool ReadFile::close() {
    records_ = {};
    blobs_ = {};
    std::FILE* f = file_.release();
    return f == nullptr || std::fclose(f) == 0;
}

std::size_t ReadFile::readDirect(std::uint64_t pos, std::span<char> dst) {
    if (!file_ || pos >= size_ || dst.empty()) return 0;
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(dst.size(), size_ - pos));
    if (!seekTo(file_.get(), pos)) return 0;
    return std::fread(dst.data(), 1, wanted, file_.get());
}

std::size_t ReadFile::read(std::uint64_t pos, std::span<char> dst, Channel channel) {
    if (!file_ || pos >= size_ || dst.empty()) return 0;
    Window& w = channel == Channel::Records ? records_ : blobs_;
    std::size_t copied = 0;
    while (copied < dst.size() && pos < size_) {
        if (pos >= w.start && pos < w.start + w.length) {
            const auto inWindow = static_cast<std::size_t>(pos - w.start);
            const std::size_t n = std::min(dst.size() - copied, w.length - inWindow);
            std::memcpy(dst.data() + copied, w.bytes.data() + inWindow, n);
            copied += n;
            pos += n;
            continue;
        }
        const std::size_t rest = dst.size() - copied;
        const auto windowSize =
            static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, size_));
        if (rest >= windowSize) {
            // Too big for the window: straight into the caller's buffer.
            const std::size_t n = readDirect(pos, dst.subspan(copied));
            copied += n;
            break;
        }
        if (w.bytes.size() != windowSize) w.bytes.assign(windowSize, '\0');
        w.start = pos;
        w.length = readDirect(pos, w.bytes);
        if (w.length == 0) break;
    }
    return copied;
}

} // namespace qdp
