// SPDX-License-Identifier: MIT
#include "package/NewFileName.h"

#include "common/Text.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace xls2qdp {
namespace {

constexpr std::string_view kBase40Digits = "0123456789abcdefghijklmnopqrstuvwxyz_#$Q";
constexpr int kGiveUpCounter = 1000;

// A name counts as taken when it exists or when that cannot be told.
bool nameTaken(const std::string& fullName) {
    std::error_code ec;
    std::filesystem::path path(std::u8string(fullName.begin(), fullName.end()));
    bool exists = std::filesystem::exists(std::filesystem::symlink_status(path, ec));
    return exists || (ec && ec != std::errc::no_such_file_or_directory);
}

} // namespace

std::string encodeBase40(std::uint64_t value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), kBase40Digits[value % 40]);
        value /= 40;
    } while (value != 0);
    return digits;
}

OutputFileNamer::OutputFileNamer(const Clock& clock, QdpBinding binding)
    : TQDPBase(binding), clock_(clock) {}

std::string OutputFileNamer::makeStamp(int counter) {
    LocalDateTime t = clock_.now();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%.2d%.2d%.2d%.2d%.2d", t.second, t.day, t.month, t.hour,
                  t.minute);
    if (stamp != previousStamp_) {
        previousStamp_ = stamp;
        return stamp;
    }
    std::snprintf(stamp, sizeof stamp, "%.2d%.2d%.2d%.2d%2.2d", t.second, t.day, t.month, t.hour,
                  counter % 10);
    return stamp;
}

bool OutputFileNamer::fNewFileName(std::string_view folder, bool show, std::string_view prefix,
                                   std::string& fullName) {
    std::string base = withTrailingDelimiter(std::string(folder));
    std::string candidate;
    for (int counter = 1;; ++counter) {
        std::string stamp = makeStamp(counter);
        std::uint64_t number = 0;
        auto [end, error] = std::from_chars(stamp.data(), stamp.data() + stamp.size(), number);
        if (error != std::errc{} || end != stamp.data() + stamp.size()) return false;
        candidate = base + std::string(prefix) + encodeBase40(number) + ".qdp";
        if (!nameTaken(candidate) || counter >= kGiveUpCounter) break;
    }
    if (!nameTaken(candidate)) {
        fullName = candidate;
        return true;
    }
    pStrErrorMessBox("Błąd podczas tworzenia nazwy pliku qdp!", show);
    return false;
}

bool fNewFileName(std::string_view folder, bool show, std::string_view prefix,
                  std::string& fullName, MessageSink* sink) {
    static const SystemClock clock;
    static OutputFileNamer namer(clock);
    namer.setMessageSink(sink);
    return namer.fNewFileName(folder, show, prefix, fullName);
}

} // namespace xls2qdp
