// SPDX-License-Identifier: MIT
// A quick XML tokenizer for the large parts of a workbook (the worksheet and
// shared strings of .xlsx files, content.xml of .ods files), which
// spreadsheet programs write as plain UTF-8 XML: elements, attributes,
// character and entity references, comments, processing instructions and
// CDATA; no document type declaration (Office Open XML forbids it; the
// .ods reader sends a content.xml that starts with one to expat). It calls
// the same XmlHandler as XmlStreamParser (names as written, without namespace
// processing) at several times expat's speed, because it does not build a
// namespace, attribute or entity model. Malformed input (a tag or the document
// left open, an unknown entity, a DOCTYPE) throws WorkbookError.
//
// Each chunk is scanned once, from where the previous one stopped: text and
// CDATA go to the handler in pieces as they arrive, comments and processing
// instructions are passed over without being kept, and only a tag is held
// whole, up to kMaxXmlToken. Time is linear in the input, memory bounded.
#pragma once

#include "XmlStreamParser.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp {

// A handler's quicker way through elements it knows well (the rows of a
// worksheet). It is offered every start tag below the document element, with
// the input from the tag's '<' on, and either takes the whole element (no
// XmlHandler call is made for it) and returns its length in bytes, or leaves
// it to the scanner. kNeedMore asks to be offered the element again once more
// input has been read; the scanner does that only while the element's start
// lies within the last two chunks, so time stays linear.
class XmlElementShortcut {
public:
    static constexpr std::size_t kLeave = 0;
    static constexpr std::size_t kNeedMore = static_cast<std::size_t>(-1);
    virtual ~XmlElementShortcut() = default;
    virtual std::size_t element(std::string_view input) = 0;
};

// Whether the start of a part (its first few hundred bytes) shows it plain
// UTF-8, as the scanner takes it: no byte order mark of UTF-16 and no
// declared encoding but UTF-8.
bool IsPlainUtf8Xml(std::string_view head);

class SimpleXmlScanner final : public XmlPartParser {
public:
    SimpleXmlScanner(XmlHandler& handler, XmlStreamParser::Source source,
                     std::filesystem::path file, std::string partName,
                     XmlElementShortcut* shortcut = nullptr);

    // Reads and handles the next chunk (or the rest of a suspended one);
    // false once the whole input is done.
    bool parseChunk() override;
    void suspend() override { suspended_ = true; }
    WorkbookError malformed(const std::string& what) const override;

private:
    // Where the scanner is: between tokens or in text, or inside a token
    // that may go on in the next chunk.
    enum class State { Content, Tag, Comment, Instruction, Cdata };

    [[noreturn]] void fail(const std::string& what) const { throw malformed(what); }
    // Handles what the buffer holds from pos_; keeps an unfinished token for
    // the next chunk unless at the end.
    void scan();
    bool scanText();
    bool scanTag();
    bool skipTo(std::string_view close, bool characters);
    void consume(std::size_t end); // counts the lines of buf_[pos_, end) and moves pos_ there
    void tag(std::size_t begin, std::size_t end); // buf_[begin] == '<', buf_[end] == '>'
    // Appends text with references resolved; attribute values turn blanks into spaces.
    void decode(std::string& out, std::size_t begin, std::size_t end, bool attribute) const;

    XmlHandler& handler_;
    XmlElementShortcut* shortcut_;
    XmlStreamParser::Source source_;
    std::filesystem::path file_;
    std::string partName_;
    std::string buf_;
    std::size_t pos_ = 0;
    State state_ = State::Content;
    std::size_t tagScanned_ = 0; // bytes of an unfinished tag already searched for its '>'
    char tagQuote_ = 0;          // the quote open at that point
    bool eof_ = false, started_ = false, sawElement_ = false, suspended_ = false;
    long depth_ = 0;
    long line_ = 1;
    std::string text_, names_;
    std::string open_;                    // names of the open elements, one after another
    std::vector<std::size_t> openStarts_; // where each begins in open_
    std::vector<std::size_t> offsets_;
    std::vector<const char*> attributes_;
};

} // namespace xls2qdp
