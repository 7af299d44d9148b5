// SPDX-License-Identifier: MIT
// Namespace prefixes of XML read without namespace processing (the quick
// scanner, or expat in its quicker mode), where names arrive as written:
// "row", "x:row", "x15:workbookPr". A handler calls enter() at every start
// tag and leave() at every end tag; namespaceOf() then says which of the
// namespaces it asked for a name belongs to, following the declarations in
// scope as XML defines them. The answers for the last few prefixes asked
// are kept, so that the elements of a large part cost a comparison or two
// each.
//
// A reader that must refuse what namespace processing refuses (an
// undeclared prefix, a forbidden declaration, an element or declaration
// name that is no qualified name, the same attribute under two prefixes)
// gets the problem from enter(), checkedName() and attributes(), as expat
// would have reported it. Attributes the reader does not ask for are not
// looked at, so a malformed name among them goes unnoticed.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xls2qdp {

// What namespace processing refuses; XmlPartParser::refuse() reports it.
enum class XmlNamespaceProblem {
    UnboundPrefix,
    DuplicateAttribute,
    UndeclaringPrefix,
    ReservedPrefixXml,
    ReservedPrefixXmlns,
    ReservedNamespaceUri,
    InvalidName,
};

// What expat says of the problem when it does the namespace processing.
std::string_view describe(XmlNamespaceProblem problem);

class XmlNamespaces {
public:
    static constexpr int kOther = -1;   // declared, but none of the known ones
    static constexpr int kNone = -2;    // in no namespace, or the prefix is not declared
    static constexpr int kUnbound = -3; // from resolve() only: the prefix is not declared

    // known: namespace URI -> the number namespaceOf() gives for it.
    explicit XmlNamespaces(std::vector<std::pair<std::string, int>> known);

    // attributes: name, value, ..., nullptr, as XmlHandler::startElement has
    // them. Gives the first declaration that namespace processing refuses;
    // the declarations are taken all the same.
    std::optional<XmlNamespaceProblem> enter(const char** attributes);
    void leave();

    // The number of the namespace of an element name ("prefix:local", or
    // "local", which is in the default namespace); kNone also for an
    // undeclared prefix.
    int namespaceOf(std::string_view name) {
        const int ns = resolve(prefixOf(name));
        return ns == kUnbound ? kNone : ns;
    }

    // An element name split as namespace processing splits it.
    struct Name {
        int ns;
        std::string_view local;
    };
    // The element's namespace and local name, or the problem namespace
    // processing has with the name: a prefix not declared, or a name that
    // is no qualified name (two colons, nothing before or after one).
    std::optional<XmlNamespaceProblem> checkedName(std::string_view name, Name& out);

    // Several attributes of one element found in one pass: values[i] is the
    // value of wanted[i], or nullptr. An attribute of a wanted local name
    // under an undeclared prefix, or a second one in a wanted namespace, is
    // the problem returned (values are then incomplete).
    struct Wanted {
        int ns;
        std::string_view local;
    };
    std::optional<XmlNamespaceProblem> attributes(const char** attributes,
                                                  std::span<const Wanted> wanted,
                                                  std::span<const char*> values);

    // The namespace of a prefix ("" for the default namespace); kUnbound
    // when it is not declared ("xml" always is).
    int resolve(std::string_view prefix);

private:
    struct Binding {
        std::string prefix;
        int ns;
        int depth;
    };
    struct Cached {
        std::string prefix;
        int ns = kNone;
    };
    static std::string_view prefixOf(std::string_view name) {
        const std::size_t colon = name.find(':');
        return colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon);
    }
    int known(std::string_view uri) const;
    void bind(std::string_view prefix, std::string_view uri);

    std::vector<std::pair<std::string, int>> known_;
    std::vector<Binding> bindings_;
    int depth_ = 0;
    std::array<Cached, 4> cache_;
    std::size_t cached_ = 0; // entries of cache_ in use
    std::size_t nextCached_ = 0;
};

// The part of a name after its prefix: "x:row" -> "row".
inline std::string_view localName(std::string_view name) {
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

} // namespace xls2qdp
