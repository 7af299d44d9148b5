// SPDX-License-Identifier: MIT
#include "SimpleXmlScanner.h"

#include "WorkbookError.h"
#include "common/TextEncoding.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstring>

namespace xls2qdp {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Byte classes of the scanning loops, so that each byte costs one lookup.
enum : unsigned char {
    kTagMark = 1,          // " ' > <: what a tag's end is searched for
    kElementNameEnd = 2,   // blank or /
    kAttributeNameEnd = 4, // blank or =
    kTextSpecial = 8,      // & or CR in text
    kValueSpecial = 16,    // & or a line end or tab in an attribute value
};
constexpr std::array<unsigned char, 256> kByteClass = [] {
    std::array<unsigned char, 256> table{};
    for (char c : {' ', '\t', '\n', '\r'})
        table[static_cast<unsigned char>(c)] |= kElementNameEnd | kAttributeNameEnd;
    for (char c : {'"', '\'', '>', '<'})
        table[static_cast<unsigned char>(c)] |= kTagMark;
    table['/'] |= kElementNameEnd;
    table['='] |= kAttributeNameEnd;
    table['&'] |= kTextSpecial | kValueSpecial;
    table['\r'] |= kTextSpecial | kValueSpecial;
    table['\n'] |= kValueSpecial;
    table['\t'] |= kValueSpecial;
    return table;
}();

bool in(char c, unsigned char byteClass) {
    return (kByteClass[static_cast<unsigned char>(c)] & byteClass) != 0;
}

} // namespace

bool IsPlainUtf8Xml(std::string_view head) {
    if (head.starts_with("\xFE\xFF") || head.starts_with("\xFF\xFE")) return false;
    if (!head.starts_with("<?xml")) return head.find('\0') == std::string_view::npos;
    head = head.substr(0, head.find("?>"));
    const std::size_t encoding = head.find("encoding");
    if (encoding == std::string_view::npos) return true;
    std::string value;
    for (char c : head.substr(encoding + 8))
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-')
            value += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!value.empty())
            break;
    return value == "utf-8" || value == "utf8";
}

SimpleXmlScanner::SimpleXmlScanner(XmlHandler& handler, XmlStreamParser::Source source,
                                   std::filesystem::path file, std::string partName,
                                   XmlElementShortcut* shortcut)
    : handler_(handler), shortcut_(shortcut), source_(std::move(source)), file_(std::move(file)),
      partName_(std::move(partName)) {}

WorkbookError SimpleXmlScanner::malformed(const std::string& what) const {
    return WorkbookError(file_, std::string(kDamagedFile) + " Błąd w części „" + partName_ +
                                    "” (wiersz " + std::to_string(line_) + ": " + what + ").");
}

bool SimpleXmlScanner::parseChunk() {
    if (suspended_) {
        suspended_ = false; // the rest of the chunk read before
    } else {
        if (eof_) return false;
        buf_.erase(0, pos_);
        pos_ = 0;
        const std::size_t old = buf_.size();
        buf_.resize(old + kChunkSize);
        const std::size_t n = source_(buf_.data() + old, kChunkSize);
        buf_.resize(old + n);
        eof_ = n == 0;
        if (!started_ && (buf_.size() >= 3 || eof_)) {
            started_ = true;
            if (buf_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
        }
    }
    if (started_) scan();
    if (suspended_) return true;
    if (eof_) {
        if (state_ != State::Content) fail("niedokończony znacznik, komentarz lub sekcja CDATA");
        for (std::size_t i = pos_; i < buf_.size(); ++i)
            if (!isBlank(buf_[i])) fail("niedokończony znacznik lub tekst poza elementem");
        if (depth_ != 0 || !sawElement_) fail("dokument urywa się przed końcem");
        return false;
    }
    return true;
}

void SimpleXmlScanner::consume(std::size_t end) {
    const char* p = buf_.data() + pos_;
    const char* const stop = buf_.data() + end;
    while (p < stop) {
        p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(stop - p)));
        if (!p) break;
        ++line_;
        ++p;
    }
    pos_ = end;
}

void SimpleXmlScanner::scan() {
    for (;;) {
        bool done = false;
        switch (state_) {
        case State::Content:
            done = !scanText();
            break;
        case State::Tag:
            done = !scanTag();
            break;
        case State::Comment:
            done = !skipTo("-->", false);
            break;
        case State::Instruction:
            done = !skipTo("?>", false);
            break;
        case State::Cdata:
            done = !skipTo("]]>", true);
            break;
        }
        if (done || suspended_) return;
    }
}

// Text up to the next markup, then the kind of that markup. False when the
// buffer is used up.
bool SimpleXmlScanner::scanText() {
    if (pos_ >= buf_.size()) return false;
    if (buf_[pos_] != '<') {
        std::size_t lt = buf_.find('<', pos_);
        std::size_t end = lt == std::string::npos ? buf_.size() : lt;
        if (lt == std::string::npos && !eof_) {
            // The text goes on in the next chunk: hand on what is complete.
            // A reference or a CR LF cut at the end waits for the rest.
            const std::size_t amp = buf_.rfind('&');
            if (amp != std::string::npos && amp >= pos_ &&
                buf_.find(';', amp) == std::string::npos && buf_.size() - amp < 32)
                end = amp;
            if (end > pos_ && buf_[end - 1] == '\r') --end;
        }
        if (depth_ > 0) {
            text_.clear();
            decode(text_, pos_, end, false);
            if (!text_.empty()) handler_.characters(text_);
        } else {
            for (std::size_t i = pos_; i < end; ++i)
                if (!isBlank(buf_[i])) fail("tekst poza elementem");
        }
        consume(end);
        if (lt == std::string::npos) return false;
    }
    // buf_[pos_] == '<': which kind of markup
    const std::string_view rest = std::string_view(buf_).substr(pos_);
    if (rest.size() < 2 && !eof_) return false;
    if (rest.starts_with("<?")) {
        consume(pos_ + 2);
        state_ = State::Instruction;
    } else if (rest.starts_with("<!")) {
        if (rest.size() < 9 && !eof_) return false; // cannot tell the kind yet
        if (rest.starts_with("<!--")) {
            consume(pos_ + 4);
            state_ = State::Comment;
        } else if (rest.starts_with("<![CDATA[")) {
            consume(pos_ + 9);
            state_ = State::Cdata;
        } else {
            fail("niedozwolona deklaracja typu dokumentu");
        }
    } else {
        if (shortcut_ && depth_ > 0 && rest.size() > 1 && rest[1] != '/') {
            const std::size_t length = shortcut_->element(rest);
            if (length == XmlElementShortcut::kNeedMore) {
                if (!eof_ && rest.size() <= kChunkSize) return false;
            } else if (length != XmlElementShortcut::kLeave) {
                consume(pos_ + length);
                return true;
            }
        }
        state_ = State::Tag;
        tagScanned_ = 1;
        tagQuote_ = 0;
    }
    return true;
}

// A tag: up to the '>' outside quotes, searched from where the last chunk
// ended. False when it goes on in the next chunk.
bool SimpleXmlScanner::scanTag() {
    std::size_t end = std::string::npos;
    std::size_t i = pos_ + tagScanned_;
    for (; i < buf_.size(); ++i) {
        if (tagQuote_) { // in a quoted value: on to its closing quote
            const void* quote = std::memchr(buf_.data() + i, tagQuote_, buf_.size() - i);
            if (!quote) {
                i = buf_.size();
                break;
            }
            i = static_cast<std::size_t>(static_cast<const char*>(quote) - buf_.data());
            tagQuote_ = 0;
            continue;
        }
        const char c = buf_[i];
        if (!in(c, kTagMark)) {
            continue;
        } else if (c == '"' || c == '\'') {
            tagQuote_ = c;
        } else if (c == '>') {
            end = i;
            break;
        } else if (c == '<') {
            fail("znak < wewnątrz znacznika");
        }
    }
    if (end == std::string::npos) {
        tagScanned_ = i - pos_;
        if (tagScanned_ > kMaxXmlToken)
            fail("znacznik dłuższy niż " + std::to_string(kMaxXmlToken >> 20) + " MB");
        return false;
    }
    tag(pos_, end);
    consume(end + 1);
    state_ = State::Content;
    return true;
}

// Passes over a comment, a processing instruction or CDATA up to close,
// handing CDATA on as characters; keeps nothing but a possible start of
// close. False when it goes on in the next chunk.
bool SimpleXmlScanner::skipTo(std::string_view close, bool characters) {
    const std::size_t found = buf_.find(close, pos_);
    std::size_t end = found;
    if (found == std::string::npos) {
        end = buf_.size() > pos_ + close.size() ? buf_.size() - (close.size() - 1) : pos_;
        if (end > pos_ && buf_[end - 1] == '\r') --end;
    }
    if (characters && depth_ > 0 && end > pos_) {
        // CDATA keeps its characters as written, but line ends become LF.
        text_.clear();
        for (std::size_t i = pos_; i < end; ++i) {
            if (buf_[i] == '\r') {
                text_ += '\n';
                if (i + 1 < end && buf_[i + 1] == '\n') ++i;
            } else {
                text_ += buf_[i];
            }
        }
        handler_.characters(text_);
    }
    consume(end);
    if (found == std::string::npos) return false;
    consume(found + close.size());
    state_ = State::Content;
    return true;
}

void SimpleXmlScanner::tag(std::size_t begin, std::size_t end) {
    std::size_t i = begin + 1;
    const bool closing = buf_[i] == '/';
    if (closing) ++i;
    const std::size_t nameBegin = i;
    while (i < end && !in(buf_[i], kElementNameEnd))
        ++i;
    if (i == nameBegin) fail("znacznik bez nazwy");
    names_.assign(buf_, nameBegin, i - nameBegin);
    if (closing) {
        while (i < end && isBlank(buf_[i]))
            ++i;
        if (i != end) fail("nieprawidłowy znacznik zamykający");
        if (--depth_ < 0) fail("znacznik zamykający bez otwierającego");
        // An end tag closes the element opened last, by name: readers rely
        // on elements nesting as the format says.
        const std::string_view open = std::string_view(open_).substr(openStarts_.back());
        if (open != names_)
            fail("znacznik </" + names_ + "> zamyka element <" + std::string(open) + ">");
        open_.resize(openStarts_.back());
        openStarts_.pop_back();
        handler_.endElement(names_);
        return;
    }
    names_ += '\0';
    offsets_.clear();
    bool empty = false;
    for (;;) {
        while (i < end && isBlank(buf_[i]))
            ++i;
        if (i == end) break;
        if (buf_[i] == '/') {
            if (i + 1 != end) fail("nieprawidłowy znacznik");
            empty = true;
            break;
        }
        const std::size_t attrBegin = i;
        while (i < end && !in(buf_[i], kAttributeNameEnd))
            ++i;
        if (i == attrBegin) fail("atrybut bez nazwy");
        offsets_.push_back(names_.size());
        names_.append(buf_, attrBegin, i - attrBegin);
        names_ += '\0';
        while (i < end && isBlank(buf_[i]))
            ++i;
        if (i == end || buf_[i] != '=') fail("atrybut bez wartości");
        ++i;
        while (i < end && isBlank(buf_[i]))
            ++i;
        if (i == end || (buf_[i] != '"' && buf_[i] != '\''))
            fail("wartość atrybutu bez cudzysłowu");
        const char quote = buf_[i];
        const std::size_t valueBegin = ++i;
        const void* close = std::memchr(buf_.data() + i, quote, end - i);
        if (!close) fail("niedomknięta wartość atrybutu");
        i = static_cast<std::size_t>(static_cast<const char*>(close) - buf_.data());
        offsets_.push_back(names_.size());
        decode(names_, valueBegin, i, true);
        names_ += '\0';
        ++i;
    }
    attributes_.clear();
    for (std::size_t offset : offsets_)
        attributes_.push_back(names_.data() + offset);
    attributes_.push_back(nullptr);
    const std::string_view name(names_.data());
    ++depth_;
    sawElement_ = true;
    handler_.startElement(name, attributes_.data());
    if (empty) {
        --depth_;
        handler_.endElement(name);
    } else {
        openStarts_.push_back(open_.size());
        open_.append(name);
    }
}

void SimpleXmlScanner::decode(std::string& out, std::size_t begin, std::size_t end,
                              bool attribute) const {
    std::size_t i = begin;
    while (i < end) {
        const std::size_t special = [&] {
            const unsigned char stop = attribute ? kValueSpecial : kTextSpecial;
            for (std::size_t k = i; k < end; ++k)
                if (in(buf_[k], stop)) return k;
            return end;
        }();
        out.append(buf_, i, special - i);
        if (special == end) return;
        i = special;
        const char c = buf_[i];
        if (c != '&') { // line ends become LF (a blank in attribute values)
            if (c == '\r' && i + 1 < end && buf_[i + 1] == '\n') ++i;
            out += attribute ? ' ' : '\n';
            ++i;
            continue;
        }
        const std::size_t semicolon = buf_.find(';', i);
        if (semicolon == std::string::npos || semicolon >= end) fail("niedokończone odwołanie &");
        const std::string_view entity = std::string_view(buf_).substr(i + 1, semicolon - i - 1);
        if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "amp")
            out += '&';
        else if (entity == "quot")
            out += '"';
        else if (entity == "apos")
            out += '\'';
        else if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x';
            const std::string_view digits = entity.substr(hex ? 2 : 1);
            unsigned code = 0;
            const auto [ptr, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            if (error != std::errc{} || ptr != digits.data() + digits.size() || code == 0 ||
                code > 0x10FFFF)
                fail("nieprawidłowe odwołanie do znaku");
            appendUtf8(out, code);
        } else {
            fail("nieznana encja &" + std::string(entity) + ";");
        }
        i = semicolon + 1;
    }
}

} // namespace xls2qdp
