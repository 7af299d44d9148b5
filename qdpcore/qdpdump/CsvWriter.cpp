// SPDX-License-Identifier: MIT
// One section's records as CSV (comma separated, CR LF line ends, quotes
// where a value needs them), after a header row of field names.
#include "PackageDump.h"

namespace qdpdump {

namespace {

std::string csv(const std::string& s) {
    const bool needsQuotes = s.find_first_of(",\"\r\n") != std::string::npos ||
                             (!s.empty() && (s.front() == ' ' || s.back() == ' '));
    if (!needsQuotes) return s;
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace

void CsvWriter::beginSection(const SectionInfo& s) {
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        out_ << (i ? "," : "") << csv(s.fields[i].name);
    }
    out_ << "\r\n";
}

void CsvWriter::record(const SectionInfo& s, std::uint64_t, std::string_view bytes) {
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        const FieldInfo& f = s.fields[i];
        out_ << (i ? "," : "") << csv(displayValue(bytes.substr(f.offset, f.size)));
    }
    out_ << "\r\n";
}

} // namespace qdpdump
