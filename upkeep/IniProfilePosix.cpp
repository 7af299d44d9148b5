// SPDX-License-Identifier: MIT
#include "AtomicFile.h"
#include "FileLock.h"
#include "IniDocument.h"
#include "IniProfile.h"
#include "SystemFailure.h"

namespace upkeep {
namespace {

bool hasLineBreak(const std::optional<std::string>& text) {
    return text && text->find_first_of("\r\n") != std::string::npos;
}

} // namespace

void writeProfileString(const std::string& file, const std::string& section,
                        const std::optional<std::string>& entry,
                        const std::optional<std::string>& value) {
    // A line break would smuggle further lines, even sections, into the file.
    if (hasLineBreak(section) || hasLineBreak(entry) || hasLineBreak(value)) {
        throw SystemFailure("znak konca wiersza w nazwie lub wartosci");
    }
    const auto target = followLinks(file);
    const bool deletes = !(entry && value);
    // Deleting from a missing file changes nothing and needs no lock (its folder
    // may not even exist).
    if (deletes && !readFileIfExists(target)) return;
    FileLock lock(target);
    const auto old = readFileIfExists(target);
    if (old && (old->starts_with("\xFF\xFE") || old->starts_with("\xFE\xFF"))) {
        throw SystemFailure("plik zapisany w UTF-16 nie jest obslugiwany");
    }
    if (!old && deletes) return;
    const std::string oldText = old.value_or(std::string());
    auto newText = applyProfileWrite(
        oldText, section, entry ? std::optional<std::string_view>(*entry) : std::nullopt,
        value ? std::optional<std::string_view>(*value) : std::nullopt);
    if (old && newText == oldText) return;
    replaceFileContents(target, newText);
}

} // namespace upkeep
