// SPDX-License-Identifier: MIT
#include "SimpleXmlScanner.h"

#include "WorkbookError.h"
#include "common/TextEncoding.h"

#include <charconv>
#include <cstring>

namespace xls2qdp {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

SimpleXmlScanner::SimpleXmlScanner(XmlHandler& handler, XmlStreamParser::Source source,
                                   std::filesystem::path file, std::string partName)
    : handler_(handler), source_(std::move(source)), file_(std::move(file)),
      partName_(std::move(partName)) {}

void SimpleXmlScanner::fail(const std::string& what) const {
    throw WorkbookError(file_, std::string(kDamagedFile) + " Błąd w części „" + partName_ +
                                   "” (wiersz " + std::to_string(line_) + ": " + what + ").");
}

bool SimpleXmlScanner::parseChunk() {
    if (eof_) return false;
    buf_.erase(0, pos_);
    pos_ = 0;
    const std::size_t old = buf_.size();
    buf_.resize(old + kChunkSize);
    const std::size_t n = source_(buf_.data() + old, kChunkSize);
    buf_.resize(old + n);
    eof_ = n == 0;
    if (!started_ && buf_.size() >= 3) {
        started_ = true;
        if (buf_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
    }
    scan();
    if (eof_) {
        if (pos_ < buf_.size()) {
            for (std::size_t i = pos_; i < buf_.size(); ++i)
                if (!isBlank(buf_[i])) fail("niedokończony znacznik lub tekst poza elementem");
        }
        if (depth_ != 0 || !sawElement_) fail("dokument urywa się przed końcem");
        return false;
    }
    return true;
}

void SimpleXmlScanner::scan() {
    while (pos_ < buf_.size()) {
        if (buf_[pos_] != '<') {
            const std::size_t lt = buf_.find('<', pos_);
            if (lt == std::string::npos) return; // the text may go on in the next chunk
            if (depth_ > 0) {
                text_.clear();
                decode(text_, pos_, lt, false);
                handler_.characters(text_);
            } else {
                for (std::size_t i = pos_; i < lt; ++i)
                    if (!isBlank(buf_[i])) fail("tekst poza elementem");
            }
            for (std::size_t i = pos_; i < lt; ++i)
                line_ += buf_[i] == '\n';
            pos_ = lt;
            continue;
        }
        const std::string_view rest = std::string_view(buf_).substr(pos_);
        if (rest.size() < 2) return;
        std::size_t end;
        if (rest[1] == '?' || rest.starts_with("<!--") || rest.starts_with("<![CDATA[")) {
            const bool cdata = rest.starts_with("<![CDATA[");
            const char* close = rest[1] == '?' ? "?>" : cdata ? "]]>" : "-->";
            if (rest.size() < 9 && !eof_) return; // cannot tell the kind yet
            end = buf_.find(close, pos_ + 2);
            if (end == std::string::npos) return;
            if (cdata && depth_ > 0)
                handler_.characters(std::string_view(buf_).substr(pos_ + 9, end - pos_ - 9));
            for (std::size_t i = pos_; i < end; ++i)
                line_ += buf_[i] == '\n';
            pos_ = end + std::strlen(close);
            continue;
        }
        if (rest[1] == '!') {
            if (rest.size() < 9 && !eof_) return;
            fail("niedozwolona deklaracja typu dokumentu");
        }
        // A tag: up to the '>' outside quotes.
        char quote = 0;
        end = std::string::npos;
        for (std::size_t i = pos_ + 1; i < buf_.size(); ++i) {
            const char c = buf_[i];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                end = i;
                break;
            } else if (c == '<') {
                fail("znak < wewnątrz znacznika");
            }
        }
        if (end == std::string::npos) return;
        tag(pos_, end);
        for (std::size_t i = pos_; i < end; ++i)
            line_ += buf_[i] == '\n';
        pos_ = end + 1;
    }
}

void SimpleXmlScanner::tag(std::size_t begin, std::size_t end) {
    std::size_t i = begin + 1;
    const bool closing = buf_[i] == '/';
    if (closing) ++i;
    const std::size_t nameBegin = i;
    while (i < end && !isBlank(buf_[i]) && buf_[i] != '/')
        ++i;
    if (i == nameBegin) fail("znacznik bez nazwy");
    names_.assign(buf_, nameBegin, i - nameBegin);
    if (closing) {
        while (i < end && isBlank(buf_[i]))
            ++i;
        if (i != end) fail("nieprawidłowy znacznik zamykający");
        if (--depth_ < 0) fail("znacznik zamykający bez otwierającego");
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
        while (i < end && !isBlank(buf_[i]) && buf_[i] != '=')
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
        while (i < end && buf_[i] != quote)
            ++i;
        if (i == end) fail("niedomknięta wartość atrybutu");
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
    }
}

void SimpleXmlScanner::decode(std::string& out, std::size_t begin, std::size_t end,
                              bool attribute) const {
    std::size_t i = begin;
    while (i < end) {
        const std::size_t special = [&] {
            for (std::size_t k = i; k < end; ++k) {
                const char c = buf_[k];
                if (c == '&' || c == '\r' || (attribute && (c == '\n' || c == '\t'))) return k;
            }
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
