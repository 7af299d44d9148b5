// SPDX-License-Identifier: MIT
// What the tool reads from a package, and the interface of its three output
// forms (readable text, JSON, CSV). Every text here is already UTF-8.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace qdpdump {

struct PackageInfo {
    std::string path;
    std::int32_t version = 0;
    std::string typeCode;
    std::string programCode;
    std::uint32_t documentCount = 0;
    std::string date;
    std::string description;
    std::int32_t totalSize = 0;
    std::string sizeText;
};

struct DocumentInfo {
    std::uint32_t index = 0;
    std::int32_t offset = 0;
    std::int32_t length = 0;
    std::string typeCode;
    std::int32_t typeVersion = 0;
    std::int32_t typeVariant = 0;
    std::uint32_t sectionCount = 0;
    std::string date;
    std::string description;
};

struct FieldInfo {
    std::string name;
    std::string type;
    std::uint32_t size = 0;
    std::uint32_t precision = 0;
    std::string description;
    std::size_t offset = 0; // in a record
};

struct SectionInfo {
    std::uint32_t document = 0;
    std::uint32_t index = 0;
    std::int32_t offset = 0;
    std::int32_t length = 0;
    std::string code;
    std::uint32_t recordCount = 0;
    std::string description;
    std::vector<FieldInfo> fields;
};

// A field's value for showing: its bytes up to the first zero in UTF-8, or,
// when they hold control bytes (binary or enciphered data), "0x" and the
// hexadecimal digits of the field without its trailing zeros.
std::string displayValue(std::string_view fieldBytes);

class DumpWriter {
public:
    virtual ~DumpWriter() = default;
    virtual void package(const PackageInfo& p) = 0;
    virtual void beginDocument(const DocumentInfo&) {}
    virtual void endDocument() {}
    virtual void beginSection(const SectionInfo&) {}
    // One record of the section, number counted from 1.
    virtual void record(const SectionInfo& s, std::uint64_t number, std::string_view bytes) = 0;
    virtual void endSection() {}
    virtual void finish() {}
};

class TextWriter final : public DumpWriter {
public:
    explicit TextWriter(std::ostream& out) : out_(out) {}
    void package(const PackageInfo& p) override;
    void beginDocument(const DocumentInfo& d) override;
    void beginSection(const SectionInfo& s) override;
    void record(const SectionInfo& s, std::uint64_t number, std::string_view bytes) override;

private:
    std::ostream& out_;
    std::uint32_t documentCount_ = 0;
    std::uint32_t sectionCount_ = 0;
};

class JsonWriter final : public DumpWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}
    void package(const PackageInfo& p) override;
    void beginDocument(const DocumentInfo& d) override;
    void endDocument() override;
    void beginSection(const SectionInfo& s) override;
    void record(const SectionInfo& s, std::uint64_t number, std::string_view bytes) override;
    void endSection() override;
    void finish() override;

private:
    std::ostream& out_;
    bool firstDocument_ = true;
    bool firstSection_ = true;
    bool firstRecord_ = true;
};

class CsvWriter final : public DumpWriter {
public:
    explicit CsvWriter(std::ostream& out) : out_(out) {}
    void package(const PackageInfo&) override {}
    void beginSection(const SectionInfo& s) override;
    void record(const SectionInfo& s, std::uint64_t number, std::string_view bytes) override;

private:
    std::ostream& out_;
};

} // namespace qdpdump
