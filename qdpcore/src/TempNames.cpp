// SPDX-License-Identifier: MIT
#include "TempNames.h"

#include "OsFile.h"

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
std::string processDigits() {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", static_cast<int>(QDP_GETPID() % 100000));
    return digits;
}
} // namespace

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
