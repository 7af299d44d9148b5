// SPDX-License-Identifier: MIT
// A package file taken apart by its fixed layout, for tests that check what
// was written byte by byte: headers, lists, field definitions and records
// (each field's bytes up to its first zero, as Windows-1250 text).
#pragma once

#include <cstddef>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace xls2qdp::testing {

struct QdpFileImage {
    struct Field {
        std::string name, type, description;
        unsigned long size = 0, precision = 0;
    };
    struct Section {
        std::string code, description;
        unsigned long fieldCount = 0, recordCount = 0;
        std::vector<Field> fields;
        std::vector<std::vector<std::string>> records;
    };
    struct Document {
        std::string typeCode, date, description;
        unsigned long version = 0, variant = 0, sectionCount = 0;
        std::vector<Section> sections;
    };
    unsigned long version = 0, documentCount = 0, totalSize = 0;
    std::string typeCode, programCode, date, description, sizeText;
    std::vector<Document> documents;
    std::size_t fileLength = 0;

    static QdpFileImage read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw std::runtime_error("cannot open " + path);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return parse(bytes);
    }

    static QdpFileImage parse(const std::string& b) {
        QdpFileImage image;
        image.fileLength = b.size();
        std::size_t headerLength = crlfAt(b, 122) ? 124 : 375;
        image.version = number(b, 9, 7);
        image.typeCode = text(b, 16, 33);
        image.programCode = text(b, 49, 33);
        image.documentCount = number(b, 82, 7);
        image.date = text(b, 89, 11);
        std::size_t sizeAt = 100;
        if (headerLength == 375) {
            image.description = text(b, 100, 251);
            sizeAt = 351;
        }
        image.totalSize = number(b, sizeAt, 11);
        image.sizeText = text(b, sizeAt + 11, 11);
        for (unsigned long d = 0; d < image.documentCount; ++d) {
            std::size_t entry = headerLength + d * 33;
            expect(b, entry, "SPISDOK");
            image.documents.push_back(document(b, number(b, entry + 9, 11)));
        }
        return image;
    }

private:
    static Document document(const std::string& b, std::size_t start) {
        Document doc;
        expect(b, start, "DOKUMENT");
        std::size_t headerLength = crlfAt(b, start + 74) ? 76 : 327;
        doc.typeCode = text(b, start + 9, 33);
        doc.version = number(b, start + 42, 7);
        doc.variant = number(b, start + 49, 7);
        doc.sectionCount = number(b, start + 56, 7);
        doc.date = text(b, start + 63, 11);
        if (headerLength == 327) doc.description = text(b, start + 74, 251);
        for (unsigned long s = 0; s < doc.sectionCount; ++s) {
            std::size_t entry = start + headerLength + s * 33;
            expect(b, entry, "SPISSEK");
            doc.sections.push_back(section(b, start + number(b, entry + 9, 11)));
        }
        return doc;
    }

    static Section section(const std::string& b, std::size_t start) {
        Section sec;
        expect(b, start, "SEKCJA");
        std::size_t at = start + (crlfAt(b, start + 42) ? 44 : 295);
        sec.code = text(b, start + 9, 17);
        sec.fieldCount = number(b, start + 26, 5);
        sec.recordCount = number(b, start + 31, 11);
        if (at - start == 295) sec.description = text(b, start + 42, 251);
        std::size_t recordLength = 2;
        for (unsigned long f = 0; f < sec.fieldCount; ++f) {
            expect(b, at, "DEFPOL");
            Field field;
            field.name = text(b, at + 9, 25);
            field.type = text(b, at + 34, 5);
            field.size = number(b, at + 39, 5);
            field.precision = number(b, at + 44, 5);
            bool longForm = !crlfAt(b, at + 49);
            if (longForm) field.description = text(b, at + 49, 251);
            at += longForm ? 302 : 51;
            recordLength += field.size + 1;
            sec.fields.push_back(field);
        }
        for (unsigned long r = 0; r < sec.recordCount; ++r) {
            if (!crlfAt(b, at + recordLength - 2)) throw std::runtime_error("record without CR LF");
            std::vector<std::string> values;
            std::size_t offset = at;
            for (const Field& field : sec.fields) {
                values.push_back(text(b, offset, field.size));
                offset += field.size + 1;
            }
            sec.records.push_back(values);
            at += recordLength;
        }
        return sec;
    }

    static void check(const std::string& b, std::size_t at, std::size_t length) {
        if (at + length > b.size()) throw std::runtime_error("beyond the end of the file");
    }
    static bool crlfAt(const std::string& b, std::size_t at) {
        check(b, at, 2);
        return b[at] == '\r' && b[at + 1] == '\n';
    }
    static std::string text(const std::string& b, std::size_t at, std::size_t width) {
        check(b, at, width);
        std::string t = b.substr(at, width);
        return t.substr(0, t.find('\0'));
    }
    static unsigned long number(const std::string& b, std::size_t at, std::size_t width) {
        check(b, at, width);
        unsigned long value = 0;
        for (std::size_t i = 0; i < width && b[at + i] >= '0' && b[at + i] <= '9'; ++i)
            value = value * 10 + static_cast<unsigned long>(b[at + i] - '0');
        return value;
    }
    static void expect(const std::string& b, std::size_t at, const char* keyword) {
        if (text(b, at, 9).rfind(keyword, 0) != 0)
            throw std::runtime_error(std::string("missing keyword ") + keyword);
    }
};

} // namespace xls2qdp::testing
