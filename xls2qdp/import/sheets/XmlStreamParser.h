// SPDX-License-Identifier: MIT
// Expat driven chunk by chunk from a zip part or a file, so that a reader can
// stop after any chunk and hand out the rows parsed so far. With namespaces
// on, element and attribute names arrive as "namespace-uri|local-name" (or
// the bare local name outside any namespace); with them off, as written
// ("prefix:local" or "local"), which is quicker.
#pragma once

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "WorkbookError.h"
#include "XmlNamespaces.h"
#include "ZipArchive.h"

struct XML_ParserStruct;

namespace xls2qdp {

class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    // attributes: name, value, name, value, ..., nullptr
    virtual void startElement(std::string_view name, const char** attributes) = 0;
    virtual void endElement(std::string_view name) = 0;
    virtual void characters(std::string_view text) = 0;
};

// The longest stretch of XML a reader holds at once: one tag with its
// attributes, one comment or processing instruction. Text is handed on in
// pieces and never needs it. Spreadsheet files stay far below it; a longer
// token makes the part damaged (a file made to eat memory and time).
inline constexpr std::size_t kMaxXmlToken = 4u << 20;

// The value of the attribute called name, or nullptr.
const char* FindAttribute(const char** attributes, std::string_view name);

// A part being parsed chunk by chunk, by expat (XmlStreamParser) or by the
// quick scanner (SimpleXmlScanner): the same handler calls either way.
class XmlPartParser {
public:
    virtual ~XmlPartParser() = default;
    // Parses the next chunk (or the rest of a suspended one); false once the
    // whole input has been parsed. Throws WorkbookError on malformed XML and
    // passes on what a handler throws.
    virtual bool parseChunk() = 0;
    // Called from a handler: stop after the current element; the next
    // parseChunk() goes on from there.
    virtual void suspend() = 0;
    // The error for malformed XML at the current place.
    virtual WorkbookError malformed(const std::string& what) const = 0;
    // Called from a handler that resolves prefixes itself: reports what
    // namespace processing refuses as malformed XML at the current element,
    // in the words expat uses when it does the processing.
    [[noreturn]] void refuse(XmlNamespaceProblem problem) const {
        throw malformed(std::string(describe(problem)));
    }
    void parseAll() {
        while (parseChunk()) {
        }
    }
};

class XmlStreamParser final : public XmlPartParser {
public:
    // The source fills a buffer and returns the bytes written, 0 at the end.
    using Source = std::function<std::size_t(char*, std::size_t)>;

    // partName and file only name the input in error messages.
    XmlStreamParser(XmlHandler& handler, Source source, std::filesystem::path file,
                    std::string partName, bool namespaces = true);
    ~XmlStreamParser();
    XmlStreamParser(const XmlStreamParser&) = delete;
    XmlStreamParser& operator=(const XmlStreamParser&) = delete;

    bool parseChunk() override;
    void suspend() override;
    WorkbookError malformed(const std::string& what) const override;

private:
    friend struct XmlCallbacks;
    // Runs a handler's call; what it throws stops the parser and is thrown
    // again once expat has returned.
    template <typename Call>
    void guarded(Call&& call);
    [[noreturn]] void fail(const std::string& what) const { throw malformed(what); }

    XML_ParserStruct* parser_;
    XmlHandler& handler_;
    Source source_;
    std::filesystem::path file_;
    std::string partName_;
    bool done_ = false;
    bool suspended_ = false;
    std::exception_ptr failure_;
    long long fed_ = 0;       // bytes given to expat
    long long lastEvent_ = 0; // byte index of the last event
};

// Parses a whole zip part; false when the archive has no such part.
bool ParseZipPart(const ZipArchive& archive, const std::string& name, XmlHandler& handler,
                  bool namespaces = true);

} // namespace xls2qdp
