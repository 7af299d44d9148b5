// SPDX-License-Identifier: MIT
#include "XmlStreamParser.h"

#include "WorkbookError.h"

#include <expat.h>

#include <cstring>
#include <memory>

namespace xls2qdp {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

} // namespace

struct XmlCallbacks {
    static void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes) {
        auto* self = static_cast<XmlStreamParser*>(data);
        self->guarded([&] { self->handler_.startElement(name, attributes); });
    }
    static void XMLCALL end(void* data, const XML_Char* name) {
        auto* self = static_cast<XmlStreamParser*>(data);
        self->guarded([&] { self->handler_.endElement(name); });
    }
    static void XMLCALL characters(void* data, const XML_Char* text, int length) {
        auto* self = static_cast<XmlStreamParser*>(data);
        self->guarded([&] {
            self->handler_.characters(std::string_view(text, static_cast<std::size_t>(length)));
        });
    }
};

template <typename Call>
void XmlStreamParser::guarded(Call&& call) {
    if (failure_) return;
    lastEvent_ = XML_GetCurrentByteIndex(parser_);
    try {
        call();
    } catch (...) {
        failure_ = std::current_exception();
        XML_StopParser(parser_, XML_FALSE);
    }
}

const char* FindAttribute(const char** attributes, std::string_view name) {
    for (const char** a = attributes; *a; a += 2)
        if (std::strncmp(*a, name.data(), name.size()) == 0 && (*a)[name.size()] == '\0')
            return a[1];
    return nullptr;
}

XmlStreamParser::XmlStreamParser(XmlHandler& handler, Source source, std::filesystem::path file,
                                 std::string partName, bool namespaces)
    // The encoding is the document's own: UTF-8 unless its byte order mark or
    // declaration says UTF-16 or another one expat knows.
    : parser_(namespaces ? XML_ParserCreateNS(nullptr, '|') : XML_ParserCreate(nullptr)),
      handler_(handler), source_(std::move(source)), file_(std::move(file)),
      partName_(std::move(partName)) {
    if (!parser_) throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, XmlCallbacks::start, XmlCallbacks::end);
    XML_SetCharacterDataHandler(parser_, XmlCallbacks::characters);
}

XmlStreamParser::~XmlStreamParser() {
    XML_ParserFree(parser_);
}

WorkbookError XmlStreamParser::malformed(const std::string& what) const {
    return WorkbookError(
        file_, std::string(kDamagedFile) + " Błąd w części „" + partName_ + "” (wiersz " +
                   std::to_string(XML_GetCurrentLineNumber(parser_)) + ": " + what + ").");
}

bool XmlStreamParser::parseChunk() {
    XML_Status status;
    if (suspended_) {
        suspended_ = false;
        status = XML_ResumeParser(parser_);
    } else {
        if (done_) return false;
        void* buffer = XML_GetBuffer(parser_, static_cast<int>(kChunkSize));
        if (!buffer) throw std::bad_alloc();
        const std::size_t n = source_(static_cast<char*>(buffer), kChunkSize);
        done_ = n == 0;
        fed_ += static_cast<long long>(n);
        status = XML_ParseBuffer(parser_, static_cast<int>(n), done_);
    }
    if (failure_) std::rethrow_exception(failure_);
    if (status == XML_STATUS_ERROR) fail(XML_ErrorString(XML_GetErrorCode(parser_)));
    if (status == XML_STATUS_SUSPENDED) {
        suspended_ = true;
        return true;
    }
    // Expat keeps an unfinished token and scans it again with every chunk:
    // input without any event for this long is one token too many.
    if (fed_ - lastEvent_ > static_cast<long long>(kMaxXmlToken))
        fail("znacznik, komentarz lub instrukcja dłuższa niż " +
             std::to_string(kMaxXmlToken >> 20) + " MB");
    return !done_;
}

void XmlStreamParser::suspend() {
    XML_StopParser(parser_, XML_TRUE);
}

bool ParseZipPart(const ZipArchive& archive, const std::string& name, XmlHandler& handler,
                  bool namespaces) {
    auto entry = archive.open(name);
    if (!entry) return false;
    XmlStreamParser parser(
        handler, [&](char* buffer, std::size_t size) { return entry->read(buffer, size); },
        archive.path(), name, namespaces);
    parser.parseAll();
    return true;
}

} // namespace xls2qdp
