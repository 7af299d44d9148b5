// SPDX-License-Identifier: MIT
// Namespace prefixes of XML read without namespace processing (the quick
// scanner, or expat in its quicker mode), where names arrive as written:
// "row", "x:row", "x15:workbookPr". A handler calls enter() at every start
// tag and leave() at every end tag; namespaceOf() then says which of the
// namespaces it asked for a name belongs to, following the declarations in
// scope as XML defines them. The answer for the last prefix asked is kept,
// so that the elements of a large part cost one comparison each.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xls2qdp {

class XmlNamespaces {
public:
    static constexpr int kOther = -1; // declared, but none of the known ones
    static constexpr int kNone = -2;  // in no namespace, or the prefix is not declared

    // known: namespace URI -> the number namespaceOf() gives for it.
    explicit XmlNamespaces(std::vector<std::pair<std::string, int>> known);

    // attributes: name, value, ..., nullptr, as XmlHandler::startElement has them.
    void enter(const char** attributes);
    void leave();

    // The number of the namespace of an element name ("prefix:local", or
    // "local", which is in the default namespace).
    int namespaceOf(std::string_view name);

private:
    struct Binding {
        std::string prefix;
        int ns;
        int depth;
    };
    int known(std::string_view uri) const;

    std::vector<std::pair<std::string, int>> known_;
    std::vector<Binding> bindings_;
    int depth_ = 0;
    std::string cachedPrefix_;
    int cachedNs_ = kNone;
    bool cacheValid_ = false;
};

// The part of a name after its prefix: "x:row" -> "row".
inline std::string_view localName(std::string_view name) {
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

} // namespace xls2qdp
