// SPDX-License-Identifier: MIT
#include "XmlStreamParser.h"

#include "WorkbookError.h"

#include <expat.h>

#include <cstring>
#include <memory>

namespace xls2qdp {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    static_cast<XmlHandler*>(data)->startElement(name, attributes);
}
void XMLCALL onEnd(void* data, const XML_Char* name) {
    static_cast<XmlHandler*>(data)->endElement(name);
}
void XMLCALL onCharacters(void* data, const XML_Char* text, int length) {
    static_cast<XmlHandler*>(data)->characters(
        std::string_view(text, static_cast<std::size_t>(length)));
}

} // namespace

const char* FindAttribute(const char** attributes, std::string_view name) {
    for (const char** a = attributes; *a; a += 2)
        if (std::strncmp(*a, name.data(), name.size()) == 0 && (*a)[name.size()] == '\0')
            return a[1];
    return nullptr;
}

XmlStreamParser::XmlStreamParser(XmlHandler& handler, Source source, std::filesystem::path file,
                                 std::string partName, bool namespaces)
    : parser_(namespaces ? XML_ParserCreateNS("UTF-8", '|') : XML_ParserCreate("UTF-8")),
      handler_(handler), source_(std::move(source)), file_(std::move(file)),
      partName_(std::move(partName)) {
    if (!parser_) throw std::bad_alloc();
    XML_SetUserData(parser_, &handler_);
    XML_SetElementHandler(parser_, onStart, onEnd);
    XML_SetCharacterDataHandler(parser_, onCharacters);
}

XmlStreamParser::~XmlStreamParser() {
    XML_ParserFree(parser_);
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
        status = XML_ParseBuffer(parser_, static_cast<int>(n), done_);
    }
    if (status == XML_STATUS_ERROR) {
        const auto line = XML_GetCurrentLineNumber(parser_);
        throw WorkbookError(file_, std::string(kDamagedFile) + " Błąd w części „" + partName_ +
                                       "” (wiersz " + std::to_string(line) + ": " +
                                       XML_ErrorString(XML_GetErrorCode(parser_)) + ").");
    }
    if (status == XML_STATUS_SUSPENDED) {
        suspended_ = true;
        return true;
    }
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
