// SPDX-License-Identifier: MIT
#include "TempNames.h"

#include "OsFile.h"

#include <charconv>
#include <cstdio>

#if defined(_WIN32)
#include <process.h>
#define QDP_GETPID _getpid
#else
#include <unistd.h>
#define QDP_GETPID getpid
#endif

namespace qdp {

namespace {

constexpr std::string_view kStagingEnd = ".qdptmp";

std::string processDigits() {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", static_cast<int>(QDP_GETPID() % 100000));
    return digits;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (!isDigit(c)) return false;
    }
    return true;
}

std::optional<std::uint64_t> number(std::string_view digits) {
    std::uint64_t value = 0;
    if (!allDigits(digits) || digits.size() > 19) return std::nullopt;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

} // namespace

std::string stagingName(std::string_view fileName, unsigned n) {
    std::string name(fileName);
    name += '~';
    name += std::to_string(QDP_GETPID());
    name += '-';
    name += std::to_string(n);
    name += kStagingEnd;
    return name;
}

std::optional<NameOwner> temporaryNameOwner(std::string_view name) {
    // A section's file or the folder test: "CAa12345", "BQz00042", "TFa12345".
    if (name.size() == kTempNameLength && name[2] >= 'a' && name[2] <= 'z' &&
        allDigits(name.substr(3))) {
        const bool sectionFile =
            (name[0] == 'C' || name[0] == 'B') && name[1] >= 'A' && name[1] <= 'Z';
        if (sectionFile || name.starts_with("TF")) {
            return NameOwner{*number(name.substr(3)), true};
        }
    }
    // A staging file: "<name>~<process>-<n>.qdptmp".
    if (!name.ends_with(kStagingEnd)) return std::nullopt;
    name.remove_suffix(kStagingEnd.size());
    const auto dash = name.rfind('-');
    const auto tilde = name.rfind('~', dash);
    if (dash == std::string_view::npos || tilde == std::string_view::npos || tilde == 0 ||
        !allDigits(name.substr(dash + 1))) {
        return std::nullopt;
    }
    const auto process = number(name.substr(tilde + 1, dash - tilde - 1));
    if (!process) return std::nullopt;
    return NameOwner{*process, false};
}

Result NameTemplate::pick(const std::string& folder, std::string& name, char& letter) const {
    const std::string digits = processDigits();
    for (char c = 'a'; c <= 'z'; ++c) {
        std::string candidate = folder;
        candidate += first_;
        candidate += second_;
        candidate += c;
        candidate += digits;
        if (!fileExists(candidate)) {
            name = std::move(candidate);
            letter = c;
            return Result::Ok;
        }
    }
    return Result::TempFileFailed;
}

Result NameTemplate::makeName(const std::string& folder, std::string& name) {
    char letter = 0;
    const Result r = pick(folder, name, letter);
    if (ok(r) && letter == 'z') {
        second_ = (second_ == 'z' || second_ == 'Z') ? 'A' : static_cast<char>(second_ + 1);
    }
    return r;
}

Result NameTemplate::makeFixedName(const std::string& folder, std::string& name) const {
    char letter = 0;
    return pick(folder, name, letter);
}

NameTemplate& recordFileTemplate() {
    static NameTemplate t('C', 'A');
    return t;
}
NameTemplate& blobFileTemplate() {
    static NameTemplate t('B', 'A');
    return t;
}
NameTemplate& folderTestTemplate() {
    static NameTemplate t('T', 'F');
    return t;
}

} // namespace qdp
