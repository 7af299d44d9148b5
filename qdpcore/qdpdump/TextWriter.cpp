// SPDX-License-Identifier: MIT
// The readable form: one block per package, document and section, records
// as "field = value" lines.
#include "PackageDump.h"

namespace qdpdump {

namespace {
std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}
} // namespace

void TextWriter::package(const PackageInfo& p) {
    documentCount_ = p.documentCount;
    out_ << "Paczka " << p.path << "\n"
         << "  typ: " << quoted(p.typeCode) << ", program: " << quoted(p.programCode)
         << ", wersja: " << p.version << "\n"
         << "  data: " << p.date << ", rozmiar: " << p.totalSize << " B (zapisany: " << p.sizeText
         << "), dokumentów: " << p.documentCount << "\n";
    if (!p.description.empty()) out_ << "  opis: " << quoted(p.description) << "\n";
}

void TextWriter::beginDocument(const DocumentInfo& d) {
    sectionCount_ = d.sectionCount;
    out_ << "\nDokument " << d.index + 1 << "/" << documentCount_ << "\n"
         << "  typ: " << quoted(d.typeCode) << ", wersja: " << d.typeVersion
         << ", wariant: " << d.typeVariant << ", data: " << d.date << "\n"
         << "  położenie: " << d.offset << ", długość: " << d.length
         << ", sekcji: " << d.sectionCount << "\n";
    if (!d.description.empty()) out_ << "  opis: " << quoted(d.description) << "\n";
}

void TextWriter::beginSection(const SectionInfo& s) {
    out_ << "\n  Sekcja " << s.index + 1 << "/" << sectionCount_ << ": " << quoted(s.code) << "\n"
         << "    położenie: " << s.offset << ", długość: " << s.length
         << ", pól: " << s.fields.size() << ", rekordów: " << s.recordCount << "\n";
    if (!s.description.empty()) out_ << "    opis: " << quoted(s.description) << "\n";
    out_ << "    Pola:\n";
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        const FieldInfo& f = s.fields[i];
        out_ << "      " << i + 1 << ". " << f.name << "  typ " << f.type << ", rozmiar " << f.size
             << ", precyzja " << f.precision;
        if (!f.description.empty()) out_ << ", opis " << quoted(f.description);
        out_ << "\n";
    }
}

void TextWriter::record(const SectionInfo& s, std::uint64_t number, std::string_view bytes) {
    out_ << "    Rekord " << number << ":\n";
    for (const FieldInfo& f : s.fields) {
        out_ << "      " << f.name << " = " << quoted(displayValue(bytes.substr(f.offset, f.size)))
             << "\n";
    }
}

} // namespace qdpdump
