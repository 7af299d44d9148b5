// SPDX-License-Identifier: MIT
#include "XlsxQuickScan.h"

#include "CellLimits.h"

#include <cstring>

namespace xls2qdp {

namespace {

// Thrown inside the scan only, caught in ScanWorksheetRow.
enum class Stop { Incomplete, Unknown };

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':';
}

class Cursor {
public:
    explicit Cursor(std::string_view input) : in_(input) {}

    std::size_t position() const { return at_; }

    char peek(std::size_t ahead = 0) const {
        if (at_ + ahead >= in_.size()) throw Stop::Incomplete;
        return in_[at_ + ahead];
    }

    // Whether the input goes on with text (waiting for enough input to tell).
    bool startsWith(std::string_view text) const {
        for (std::size_t k = 0; k < text.size(); ++k)
            if (peek(k) != text[k]) return false;
        return true;
    }

    void skip(std::size_t n) { at_ += n; }

    void skipBlanks() {
        while (isBlank(peek()))
            ++at_;
    }

    // "<name" followed by a blank, '>' or '/'.
    bool startTag(std::string_view name) {
        if (peek() != '<') return false;
        for (std::size_t k = 0; k < name.size(); ++k)
            if (peek(1 + k) != name[k]) return false;
        const char after = peek(1 + name.size());
        if (!isBlank(after) && after != '>' && after != '/') return false;
        at_ += 1 + name.size();
        return true;
    }

    // The attributes of a start tag up to its '>' or "/>"; true for "/>".
    // Each one goes to take(name, value). Values with references, markup
    // characters or control characters (which the general scanner would
    // decode or reject), and namespace declarations, are not plain.
    template <typename Take>
    bool attributes(Take&& take) {
        for (;;) {
            const char c = peek();
            if (c == '>') {
                ++at_;
                return false;
            }
            if (c == '/') {
                if (peek(1) != '>') throw Stop::Unknown;
                at_ += 2;
                return true;
            }
            if (!isBlank(c)) throw Stop::Unknown;
            skipBlanks();
            if (peek() == '>' || peek() == '/') continue;
            const std::size_t nameBegin = at_;
            while (isNameCharacter(peek()))
                ++at_;
            const std::string_view name = in_.substr(nameBegin, at_ - nameBegin);
            if (name.empty() || name.starts_with("xmlns")) throw Stop::Unknown;
            if (peek() != '=') throw Stop::Unknown;
            const char quote = peek(1);
            if (quote != '"' && quote != '\'') throw Stop::Unknown;
            at_ += 2;
            const std::size_t valueBegin = at_;
            for (char v = peek(); v != quote; v = peek()) {
                if (v == '<' || v == '&' || v == '>' || static_cast<unsigned char>(v) < 0x20)
                    throw Stop::Unknown;
                ++at_;
            }
            take(name, in_.substr(valueBegin, at_ - valueBegin));
            ++at_;
        }
    }

    // Text up to the next '<'; references and carriage returns are not plain.
    std::string_view text(bool carriageReturns) {
        const std::size_t begin = at_;
        const void* lt = std::memchr(in_.data() + at_, '<', in_.size() - at_);
        const std::size_t end =
            lt ? static_cast<std::size_t>(static_cast<const char*>(lt) - in_.data()) : in_.size();
        for (std::size_t i = at_; i < end; ++i)
            if (in_[i] == '&' || (!carriageReturns && in_[i] == '\r')) throw Stop::Unknown;
        if (!lt) throw Stop::Incomplete;
        at_ = end;
        return in_.substr(begin, end - begin);
    }

    void expect(std::string_view text) {
        if (!startsWith(text)) throw Stop::Unknown;
        at_ += text.size();
    }

private:
    std::string_view in_;
    std::size_t at_ = 0;
};

// Digits only, and few enough for an int: what atoi makes of them.
std::optional<int> styleNumber(std::string_view value) {
    if (value.empty() || value.size() > 9) return std::nullopt;
    int n = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

void scanCell(Cursor& in, ScannedCell& cell) {
    cell = ScannedCell{};
    bool badStyle = false;
    const bool empty = in.attributes([&](std::string_view name, std::string_view value) {
        if (name == "r") {
            if (!cell.ref) cell.ref = value;
        } else if (name == "t") {
            if (!cell.type) cell.type = value;
        } else if (name == "s") {
            if (!cell.style && !badStyle) {
                cell.style = styleNumber(value);
                badStyle = !cell.style;
            }
        }
    });
    if (badStyle) throw Stop::Unknown;
    if (empty) return;
    for (;;) {
        in.skipBlanks();
        if (in.startsWith("</c>")) {
            in.skip(4);
            return;
        }
        if (in.startsWith("<v>")) {
            if (cell.hasValue) throw Stop::Unknown;
            in.skip(3);
            cell.value = in.text(false);
            if (cell.value.size() > kMaxCellBytes) throw Stop::Unknown;
            in.expect("</v>");
            cell.hasValue = true;
        } else if (in.startsWith("<v/>")) {
            if (cell.hasValue) throw Stop::Unknown;
            in.skip(4);
            cell.hasValue = true;
        } else if (in.startTag("f")) {
            cell.hasFormula = true;
            if (!in.attributes([](std::string_view, std::string_view) {})) {
                in.text(true); // the formula itself is not read
                in.expect("</f>");
            }
        } else {
            throw Stop::Unknown;
        }
    }
}

} // namespace

RowScan ScanWorksheetRow(std::string_view input, ScannedRow& row, std::size_t& length) {
    Cursor in(input);
    std::size_t cells = 0;
    try {
        if (!in.startTag("row")) return RowScan::Unknown;
        row.number.reset();
        const bool empty = in.attributes([&](std::string_view name, std::string_view value) {
            if (name == "r" && !row.number) row.number = value;
        });
        if (!empty) {
            for (;;) {
                in.skipBlanks();
                if (in.startsWith("</row>")) {
                    in.skip(6);
                    break;
                }
                if (!in.startTag("c")) throw Stop::Unknown;
                if (row.cells.size() == cells) row.cells.emplace_back();
                scanCell(in, row.cells[cells]);
                ++cells;
            }
        }
    } catch (Stop stop) {
        return stop == Stop::Incomplete ? RowScan::Incomplete : RowScan::Unknown;
    }
    row.cells.resize(cells);
    length = in.position();
    return RowScan::Done;
}

RowScan ScanSharedString(std::string_view input, std::string_view& text, std::size_t& length) {
    Cursor in(input);
    try {
        if (!in.startTag("si") || in.attributes([](std::string_view, std::string_view) {}))
            return RowScan::Unknown;
        in.skipBlanks();
        if (!in.startTag("t")) throw Stop::Unknown;
        if (in.attributes([](std::string_view, std::string_view) {})) {
            text = {};
        } else {
            text = in.text(false);
            if (text.size() > kMaxCellBytes) throw Stop::Unknown;
            in.expect("</t>");
        }
        in.skipBlanks();
        in.expect("</si>");
    } catch (Stop stop) {
        return stop == Stop::Incomplete ? RowScan::Incomplete : RowScan::Unknown;
    }
    length = in.position();
    return RowScan::Done;
}

} // namespace xls2qdp
