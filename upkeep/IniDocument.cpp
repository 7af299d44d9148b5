// SPDX-License-Identifier: MIT
#include "IniDocument.h"

#include "SystemFailure.h"
#include "TextCase.h"
#include "Windows1250.h"

#include <vector>

namespace upkeep {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

struct Line {
    std::size_t start = 0; // offset of the line in the text
    std::size_t end = 0;   // offset of its line break (or of the end of the text)
    std::size_t next = 0;  // offset of the following line
};

enum class LineKind { Blank, Comment, Header, Entry };

struct ParsedLine {
    LineKind kind;
    std::string_view name; // the section's name of a header, the entry's name
};

ParsedLine parseLine(std::string_view content) {
    const auto text = trim(content);
    if (text.empty()) return {LineKind::Blank, {}};
    if (text.front() == ';') return {LineKind::Comment, {}};
    if (text.front() == '[') {
        const auto close = text.rfind(']');
        const auto inner =
            close == std::string_view::npos ? text.substr(1) : text.substr(1, close - 1);
        return {LineKind::Header, trim(inner)};
    }
    return {LineKind::Entry, trim(text.substr(0, text.find('=')))};
}

// Texts given to the tool: UTF-8, or else Windows-1250 bytes.
std::string asUtf8(std::string_view text) {
    return isValidUtf8(text) ? std::string(text) : utf8FromWindows1250(text);
}

// Names and texts of one file, in its encoding.
class FileEncoding {
public:
    explicit FileEncoding(std::string_view text)
        : windows1250_(!text.starts_with(kUtf8Mark) && !isValidUtf8(text)) {}
    // A name read from the file, as UTF-8.
    [[nodiscard]] std::string read(std::string_view name) const {
        return windows1250_ ? utf8FromWindows1250(name) : std::string(name);
    }
    // A UTF-8 text as the file holds it.
    [[nodiscard]] std::string write(std::string_view utf8) const {
        if (!windows1250_) return std::string(utf8);
        auto bytes = windows1250FromUtf8(utf8);
        if (!bytes) {
            throw SystemFailure("znak spoza strony kodowej Windows-1250 pliku w nazwie lub "
                                "wartosci: " +
                                std::string(utf8));
        }
        return std::move(*bytes);
    }

private:
    bool windows1250_;
};

} // namespace

std::string applyProfileWrite(std::string_view text, std::string_view givenSection,
                              std::optional<std::string_view> givenEntry,
                              std::optional<std::string_view> givenValue) {
    const FileEncoding encoding(text);
    const std::string section = asUtf8(trim(givenSection));
    std::optional<std::string> entry;
    std::optional<std::string> value;
    if (givenEntry) entry = asUtf8(trim(*givenEntry));
    if (givenValue) value = asUtf8(*givenValue);
    const auto sameName = [&](std::string_view inFile, std::string_view given) {
        return equalNoCase(encoding.read(inFile), given);
    };

    // New lines end the way the file's lines end; a new file gets CR LF.
    const std::string newline = text.find("\r\n") != std::string_view::npos ? "\r\n"
                                : text.find('\n') != std::string_view::npos ? "\n"
                                                                            : "\r\n";
    const std::size_t bodyStart = text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
    std::vector<Line> lines;
    for (std::size_t start = bodyStart; start < text.size();) {
        const auto lf = text.find('\n', start);
        const auto next = lf == std::string_view::npos ? text.size() : lf + 1;
        auto end = lf == std::string_view::npos ? text.size() : lf;
        if (end > start && text[end - 1] == '\r') --end;
        lines.push_back({start, end, next});
        start = next;
    }
    auto content = [&](const Line& line) { return text.substr(line.start, line.end - line.start); };

    // The first section of that name: its header line and the first line after it.
    std::size_t header = lines.size();
    std::size_t sectionEnd = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto parsed = parseLine(content(lines[i]));
        if (parsed.kind != LineKind::Header) continue;
        if (header == lines.size()) {
            if (sameName(parsed.name, section)) header = i;
        } else {
            sectionEnd = i;
            break;
        }
    }
    std::string result;
    if (header == lines.size()) {
        if (!entry || !value) return std::string(text);
        result = text;
        if (!result.empty() && result.size() > bodyStart) {
            if (!result.ends_with('\n')) result += newline;
            // A blank line sets the new section apart from the last one.
            if (parseLine(content(lines.back())).kind != LineKind::Blank) result += newline;
        }
        result.append("[").append(encoding.write(section)).append("]").append(newline);
        result.append(encoding.write(*entry)).append("=").append(encoding.write(*value));
        result.append(newline);
        return result;
    }

    if (!entry) {
        result = text.substr(0, lines[header].start);
        if (sectionEnd < lines.size()) result += text.substr(lines[sectionEnd].start);
        return result;
    }

    std::size_t last = header; // the section's last line that is not blank
    for (std::size_t i = header + 1; i < sectionEnd; ++i) {
        const auto parsed = parseLine(content(lines[i]));
        if (parsed.kind == LineKind::Entry && sameName(parsed.name, *entry)) {
            result = text.substr(0, lines[i].start);
            if (value) result.append(parsed.name).append("=").append(encoding.write(*value));
            // The replaced line keeps its own line break; a deleted one goes with it.
            result += value ? text.substr(lines[i].end) : text.substr(lines[i].next);
            return result;
        }
        if (parsed.kind != LineKind::Blank) last = i;
    }
    if (!value) return std::string(text);
    result = text.substr(0, lines[last].next);
    if (lines[last].next == lines[last].end) result += newline;
    result.append(encoding.write(*entry)).append("=").append(encoding.write(*value));
    result.append(newline);
    result += text.substr(lines[last].next);
    return result;
}

} // namespace upkeep
