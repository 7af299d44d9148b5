// SPDX-License-Identifier: MIT
// A package's sections as the package reader's dump tool shows them: one
// table per section code, a header of field names and one row per record.
#pragma once

#include "TestInstall.h"

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace xls2qdp::testing {

struct SectionTable {
    std::vector<std::string> fields;
    std::vector<std::vector<std::string>> records;

    // The value of a field in one record ("" when the field is unknown).
    std::string value(std::size_t record, const std::string& field) const {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i] == field && record < records.size() && i < records[record].size())
                return records[record][i];
        return {};
    }
};

// Splits one CSV line; the delimiter is ";" or "," and fields may be quoted.
inline std::vector<std::string> splitCsvLine(const std::string& line, char delimiter) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == delimiter) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// Reads one section through qdpdump; status is qdpdump's exit status.
inline SectionTable readSection(const std::filesystem::path& package, const std::string& code,
                                int* status = nullptr) {
    const CommandResult result =
        runCommand(quoted(buildBinDir() / "qdpdump") + " --csv " + code + " " + quoted(package));
    if (status) *status = result.status;
    SectionTable table;
    std::istringstream text(result.output);
    std::string line;
    char delimiter = ';';
    bool header = true;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (header) {
            if (line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
            delimiter = line.find(';') != std::string::npos ? ';' : ',';
            table.fields = splitCsvLine(line, delimiter);
            header = false;
        } else {
            table.records.push_back(splitCsvLine(line, delimiter));
        }
    }
    return table;
}

} // namespace xls2qdp::testing
