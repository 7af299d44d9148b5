// SPDX-License-Identifier: MIT
#include "IniProfile.h"

#include "FileReplacement.h"
#include "Text.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace xls2qdp {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// One line of an INI file (without its line end) as the profile functions see it.
struct IniLine {
    enum class Kind { Other, Section, Entry };
    Kind kind = Kind::Other;
    std::string_view name;      // the section's or the key's name, without blanks
    std::size_t valueStart = 0; // an entry's value begins here, after the "="
};

IniLine parseLine(std::string_view line) {
    const std::string_view trimmed = trimBlanksAndControls(line);
    if (trimmed.empty() || trimmed.front() == ';') return {};
    if (trimmed.front() == '[') {
        const auto close = trimmed.find(']');
        const std::string_view name =
            close == std::string_view::npos ? trimmed.substr(1) : trimmed.substr(1, close - 1);
        return {IniLine::Kind::Section, trimBlanksAndControls(name)};
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    return {IniLine::Kind::Entry, trimBlanksAndControls(line.substr(0, equals)), equals + 1};
}

// The text after the "=" of the key's first line in the section, as written.
std::optional<std::string> findValue(const std::filesystem::path& file, std::string_view section,
                                     std::string_view key) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;

    bool inSection = false;
    bool firstLine = true;
    std::string line;
    while (std::getline(in, line)) {
        if (firstLine && line.starts_with(kUtf8Mark)) line.erase(0, kUtf8Mark.size());
        firstLine = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        const IniLine parsed = parseLine(line);
        if (parsed.kind == IniLine::Kind::Section)
            inSection = equalsIgnoringCase(parsed.name, section);
        else if (inSection && parsed.kind == IniLine::Kind::Entry &&
                 equalsIgnoringCase(parsed.name, key))
            return line.substr(parsed.valueStart);
    }
    return std::nullopt;
}

// The value as written after the "=", so that readIniValue gives it back.
std::string valueText(std::string_view value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (quoted || trimBlanksAndControls(value).size() != value.size())
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

bool fitsOnALine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// An INI file split into lines, each with its own line end, so that the
// lines not changed are written back byte for byte.
struct IniText {
    bool utf8Mark = false;
    std::string lineEnd = "\r\n"; // for lines added: what the file uses
    std::vector<std::string> lines;
    std::vector<std::string> ends;

    explicit IniText(std::string content) {
        if (content.starts_with(kUtf8Mark)) {
            utf8Mark = true;
            content.erase(0, kUtf8Mark.size());
        }
        if (const auto lf = content.find('\n'); lf != std::string::npos)
            lineEnd = lf > 0 && content[lf - 1] == '\r' ? "\r\n" : "\n";
        std::size_t pos = 0;
        while (pos < content.size()) {
            const auto lf = content.find('\n', pos);
            const std::size_t end = lf == std::string::npos ? content.size() : lf;
            std::size_t textEnd = end;
            if (textEnd > pos && content[textEnd - 1] == '\r') --textEnd;
            lines.push_back(content.substr(pos, textEnd - pos));
            ends.push_back(content.substr(textEnd, lf == std::string::npos ? 0 : lf + 1 - textEnd));
            pos = lf == std::string::npos ? content.size() : lf + 1;
        }
    }

    void insert(std::size_t at, std::string line) {
        // The line before an insertion at the end may lack its line end.
        if (at > 0 && ends[at - 1].empty()) ends[at - 1] = lineEnd;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
        ends.insert(ends.begin() + static_cast<std::ptrdiff_t>(at), lineEnd);
    }

    void set(std::string_view section, std::string_view key, std::string_view value) {
        bool inSection = false;
        std::optional<std::size_t> endOfFirstSection; // after its last line that is not blank
        bool firstSectionOpen = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const IniLine parsed = parseLine(lines[i]);
            if (parsed.kind == IniLine::Kind::Section) {
                inSection = equalsIgnoringCase(parsed.name, section);
                firstSectionOpen = inSection && !endOfFirstSection;
                if (firstSectionOpen) endOfFirstSection = i + 1;
                continue;
            }
            if (firstSectionOpen && !trimBlanksAndControls(lines[i]).empty())
                endOfFirstSection = i + 1;
            if (inSection && parsed.kind == IniLine::Kind::Entry &&
                equalsIgnoringCase(parsed.name, key)) {
                lines[i] = lines[i].substr(0, parsed.valueStart) + valueText(value);
                return;
            }
        }
        const std::string entry = std::string(key) + "=" + valueText(value);
        if (endOfFirstSection) {
            insert(*endOfFirstSection, entry);
            return;
        }
        if (!lines.empty() && !trimBlanksAndControls(lines.back()).empty())
            insert(lines.size(), "");
        insert(lines.size(), "[" + std::string(section) + "]");
        insert(lines.size(), entry);
    }

    void write(std::ostream& out) const {
        if (utf8Mark) out << kUtf8Mark;
        for (std::size_t i = 0; i < lines.size(); ++i)
            out << lines[i] << ends[i];
    }
};

} // namespace

std::string readIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue) {
    return findValue(file, section, key).value_or(std::string(defaultValue));
}

std::string readIniValue(const std::filesystem::path& file, std::string_view section,
                         std::string_view key, std::string_view defaultValue) {
    const auto found = findValue(file, section, key);
    if (!found) return std::string(defaultValue);
    std::string_view value = trimBlanksAndControls(*found);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::error_code writeIniValues(const std::filesystem::path& file, std::string_view section,
                               const IniValues& values) {
    if (!fitsOnALine(section) || section.find(']') != std::string_view::npos)
        return std::make_error_code(std::errc::invalid_argument);
    for (const auto& [key, value] : values) {
        if (!fitsOnALine(key) || !fitsOnALine(value) || key.find('=') != std::string::npos ||
            trimBlanksAndControls(key).empty())
            return std::make_error_code(std::errc::invalid_argument);
    }

    std::error_code error;
    std::string content;
    if (std::filesystem::exists(file, error)) {
        std::ifstream in(file, std::ios::binary);
        if (!in) return std::error_code(errno ? errno : EACCES, std::generic_category());
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) return std::make_error_code(std::errc::io_error);
    } else if (error) {
        return error;
    } else if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path(), error);
        if (error) return error;
    }

    IniText text(std::move(content));
    for (const auto& [key, value] : values)
        text.set(section, key, value);
    return replaceFileContent(file, [&text](std::ostream& out) { text.write(out); });
}

} // namespace xls2qdp
