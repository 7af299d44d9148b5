// SPDX-License-Identifier: MIT
// The quick scanner must report what expat reports, however the input is cut
// into chunks; and refuse what expat refuses.
#include "import/sheets/SimpleXmlScanner.h"
#include "import/sheets/XmlStreamParser.h"
#include "import/sheets/ZipArchive.h"
#include "import/sheets/testing/SheetTestFiles.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

// Writes every event as a line; adjacent character data is joined.
class RecordingHandler : public XmlHandler {
public:
    std::string log;
    void startElement(std::string_view name, const char** attributes) override {
        flush();
        log += "<" + std::string(name);
        for (const char** a = attributes; *a; a += 2)
            log += " " + std::string(a[0]) + "=[" + a[1] + "]";
        log += ">\n";
    }
    void endElement(std::string_view name) override {
        flush();
        log += "</" + std::string(name) + ">\n";
    }
    void characters(std::string_view text) override { text_ += text; }
    void flush() {
        if (!text_.empty()) log += "text[" + text_ + "]\n";
        text_.clear();
    }

private:
    std::string text_;
};

// A source handing out at most `step` bytes at a time.
XmlStreamParser::Source Pieces(const std::string& xml, std::size_t step) {
    return [xml, step, at = std::size_t{0}](char* buffer, std::size_t size) mutable {
        const std::size_t n = std::min({size, step, xml.size() - at});
        std::copy_n(xml.data() + at, n, buffer);
        at += n;
        return n;
    };
}

std::string WithExpat(const std::string& xml) {
    RecordingHandler handler;
    XmlStreamParser parser(handler, Pieces(xml, 1 << 20), "test.xlsx", "part", false);
    parser.parseAll();
    handler.flush();
    return handler.log;
}

std::string WithScanner(const std::string& xml, std::size_t step) {
    RecordingHandler handler;
    SimpleXmlScanner scanner(handler, Pieces(xml, step), "test.xlsx", "part");
    while (scanner.parseChunk()) {
    }
    handler.flush();
    return handler.log;
}

TEST(SimpleXmlScannerTest, ReportsWhatExpatReports) {
    std::vector<std::string> documents = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<a><b x=\"1\" "
        "y='2'/><c>t</c></a>",
        "\xEF\xBB\xBF<x:a xmlns:x=\"urn:x\"><x:b r=\"A1\" t=\"s\"><x:v>12</x:v></x:b></x:a>",
        "<a>&lt;Kowalski &amp; syn&gt; &quot;sp.&quot; &apos;x&apos; &#261;&#x17C;&#x1F600;</a>",
        "<a v=\"a&gt;b &amp; &#10;c\" w = 'x\"y' z=\"line\r\nbreak\ttab\">x</a>",
        "<a><!-- a comment with <tags> --><?pi data?><![CDATA[<raw> & text]]>after</a>",
        "<a>line\r\nnext\rlast</a>",
        "<a   >  <b\n  attr=\"1\"\n  /> Zażółć gęślą jaźń </a  >",
        "<a><b></b><b/><c d=\"\"/></a>",
        "<a><![CDATA[x\r\ny\rz]]>&amp;&#x105;<!-- - -> - --><?p ? > ?></a>",
    };
    // The sheet of every fixture, as LibreOffice and our generator write them.
    for (const char* fixture : {"cells.xlsx", "declarations.xlsx", "header_imie.xlsx"}) {
        ZipArchive archive(test::Fixture(fixture));
        for (const char* part :
             {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml"})
            documents.push_back(*archive.readAll(part, 1 << 24));
    }
    for (const std::string& xml : documents) {
        const std::string expected = WithExpat(xml);
        for (std::size_t step : {1u, 7u, 4096u, 1u << 20})
            EXPECT_EQ(WithScanner(xml, step), expected)
                << xml.substr(0, 80) << " in pieces of " << step;
    }
}

TEST(SimpleXmlScannerTest, RefusesMalformedInput) {
    for (const std::string xml : {
             "",
             "   ",
             "<a>",
             "<a><b></a>x",
             "<a>text",
             "<a b=\"1></a>",
             "<a b=1></a>",
             "<a>&unknown;</a>",
             "<a>&#0;</a>",
             "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>",
             "</a>",
             "<a></a>trailing",
             "<a><</a>",
             "<a><b></a></b>",
             "<a><b></c></a>",
         }) {
        EXPECT_THROW(WithScanner(xml, 1 << 20), WorkbookError) << xml;
        EXPECT_THROW(WithScanner(xml, 3), WorkbookError) << xml;
    }
}

} // namespace
} // namespace xls2qdp
