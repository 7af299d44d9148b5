// SPDX-License-Identifier: MIT
// The whole package as one JSON document; records are objects keyed by
// field name.
#include "PackageDump.h"

#include <cstdio>

namespace qdpdump {

namespace {

std::string json(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", b);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace

void JsonWriter::package(const PackageInfo& p) {
    out_ << "{\"plik\":" << json(p.path) << ",\"wersja\":" << p.version
         << ",\"typ\":" << json(p.typeCode) << ",\"program\":" << json(p.programCode)
         << ",\"data\":" << json(p.date) << ",\"opis\":" << json(p.description)
         << ",\"rozmiar\":" << p.totalSize << ",\"rozmiarTekst\":" << json(p.sizeText)
         << ",\"dokumenty\":[";
}

void JsonWriter::beginDocument(const DocumentInfo& d) {
    out_ << (firstDocument_ ? "" : ",") << "\n {\"typ\":" << json(d.typeCode)
         << ",\"wersja\":" << d.typeVersion << ",\"wariant\":" << d.typeVariant
         << ",\"data\":" << json(d.date) << ",\"opis\":" << json(d.description)
         << ",\"polozenie\":" << d.offset << ",\"dlugosc\":" << d.length << ",\"sekcje\":[";
    firstDocument_ = false;
    firstSection_ = true;
}

void JsonWriter::endDocument() {
    out_ << "]}";
}

void JsonWriter::beginSection(const SectionInfo& s) {
    out_ << (firstSection_ ? "" : ",") << "\n  {\"kod\":" << json(s.code)
         << ",\"opis\":" << json(s.description) << ",\"polozenie\":" << s.offset
         << ",\"dlugosc\":" << s.length << ",\"liczbaRekordow\":" << s.recordCount << ",\"pola\":[";
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        const FieldInfo& f = s.fields[i];
        out_ << (i ? "," : "") << "{\"nazwa\":" << json(f.name) << ",\"typ\":" << json(f.type)
             << ",\"rozmiar\":" << f.size << ",\"precyzja\":" << f.precision
             << ",\"opis\":" << json(f.description) << "}";
    }
    out_ << "],\"rekordy\":[";
    firstSection_ = false;
    firstRecord_ = true;
}

void JsonWriter::record(const SectionInfo& s, std::uint64_t, std::string_view bytes) {
    out_ << (firstRecord_ ? "\n   {" : ",\n   {");
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        const FieldInfo& f = s.fields[i];
        out_ << (i ? "," : "") << json(f.name) << ":"
             << json(displayValue(bytes.substr(f.offset, f.size)));
    }
    out_ << "}";
    firstRecord_ = false;
}

void JsonWriter::endSection() {
    out_ << "]}";
}

void JsonWriter::finish() {
    out_ << "]}\n";
}

} // namespace qdpdump
