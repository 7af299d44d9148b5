// SPDX-License-Identifier: MIT
#include "XmlNamespaces.h"

#include <cstring>

namespace xls2qdp {

namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

// What namespace processing says of binding prefix ("" for the default
// namespace) to uri, in the order expat checks it.
std::optional<XmlNamespaceProblem> declarationProblem(std::string_view prefix, bool isDefault,
                                                      std::string_view uri) {
    if (uri.empty() && !isDefault) return XmlNamespaceProblem::UndeclaringPrefix;
    if (prefix == "xmlns") return XmlNamespaceProblem::ReservedPrefixXmlns;
    const bool mustBeXml = prefix == "xml";
    if (mustBeXml != (uri == kXmlNamespace))
        return mustBeXml ? XmlNamespaceProblem::ReservedPrefixXml
                         : XmlNamespaceProblem::ReservedNamespaceUri;
    if (uri == kXmlnsNamespace) return XmlNamespaceProblem::ReservedNamespaceUri;
    return std::nullopt;
}

} // namespace

std::string_view describe(XmlNamespaceProblem problem) {
    switch (problem) {
    case XmlNamespaceProblem::UnboundPrefix:
        return "unbound prefix";
    case XmlNamespaceProblem::DuplicateAttribute:
        return "duplicate attribute";
    case XmlNamespaceProblem::UndeclaringPrefix:
        return "must not undeclare prefix";
    case XmlNamespaceProblem::ReservedPrefixXml:
        return "reserved prefix (xml) must not be undeclared or bound to another namespace name";
    case XmlNamespaceProblem::ReservedPrefixXmlns:
        return "reserved prefix (xmlns) must not be declared or undeclared";
    case XmlNamespaceProblem::ReservedNamespaceUri:
        return "prefix must not be bound to one of the reserved namespace names";
    case XmlNamespaceProblem::InvalidName:
        break;
    }
    return "not well-formed (invalid token)";
}

XmlNamespaces::XmlNamespaces(std::vector<std::pair<std::string, int>> known)
    : known_(std::move(known)) {}

int XmlNamespaces::known(std::string_view uri) const {
    if (uri.empty()) return kNone;
    for (const auto& [name, ns] : known_)
        if (name == uri) return ns;
    return kOther;
}

void XmlNamespaces::bind(std::string_view prefix, std::string_view uri) {
    bindings_.push_back({std::string(prefix), known(uri), depth_});
    cached_ = 0;
}

std::optional<XmlNamespaceProblem> XmlNamespaces::enter(const char** attributes) {
    ++depth_;
    std::optional<XmlNamespaceProblem> problem;
    for (const char** a = attributes; *a; a += 2) {
        if ((*a)[0] != 'x') continue;
        const std::string_view name = *a;
        if (!name.starts_with("xmlns")) continue;
        std::string_view prefix;
        if (name.size() == 5) {
            // the default namespace
        } else if (name[5] == ':') {
            prefix = name.substr(6);
            // "xmlns:" or "xmlns:a:b" is no qualified name
            if (!problem && (prefix.empty() || prefix.find(':') != std::string_view::npos))
                problem = XmlNamespaceProblem::InvalidName;
        } else {
            continue;
        }
        if (!problem) problem = declarationProblem(prefix, name.size() == 5, a[1]);
        bind(prefix, a[1]);
    }
    return problem;
}

void XmlNamespaces::leave() {
    while (!bindings_.empty() && bindings_.back().depth == depth_) {
        bindings_.pop_back();
        cached_ = 0;
    }
    --depth_;
}

int XmlNamespaces::resolve(std::string_view prefix) {
    for (std::size_t i = 0; i < cached_; ++i)
        if (cache_[i].prefix == prefix) return cache_[i].ns;
    int ns = kUnbound;
    bool found = false;
    for (auto b = bindings_.rbegin(); b != bindings_.rend(); ++b) {
        if (b->prefix == prefix) {
            ns = b->ns;
            found = true;
            break;
        }
    }
    if (!found && prefix.empty()) ns = kNone;
    if (!found && prefix == "xml") ns = known(kXmlNamespace);
    // An undeclaration (xmlns="" or, refused, xmlns:p="") leaves the prefix unbound.
    if (found && ns == kNone && !prefix.empty()) ns = kUnbound;
    Cached& slot =
        cached_ < cache_.size() ? cache_[cached_++] : cache_[nextCached_++ % cache_.size()];
    slot.prefix.assign(prefix);
    slot.ns = ns;
    return ns;
}

std::optional<XmlNamespaceProblem> XmlNamespaces::checkedName(std::string_view name, Name& out) {
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos) {
        out = {resolve({}), name};
        return std::nullopt;
    }
    out.local = name.substr(colon + 1);
    if (colon == 0 || out.local.empty() || out.local.find(':') != std::string_view::npos)
        return XmlNamespaceProblem::InvalidName;
    out.ns = resolve(name.substr(0, colon));
    if (out.ns == kUnbound) return XmlNamespaceProblem::UnboundPrefix;
    return std::nullopt;
}

std::optional<XmlNamespaceProblem> XmlNamespaces::attributes(const char** attributes,
                                                             std::span<const Wanted> wanted,
                                                             std::span<const char*> values) {
    for (const char*& value : values)
        value = nullptr;
    for (const char** a = attributes; *a; a += 2) {
        // Only prefixed attributes are in a namespace; the local name is
        // compared first, as it rules out nearly every attribute.
        const char* colon = std::strchr(*a, ':');
        if (!colon) continue;
        const std::string_view local(colon + 1);
        bool asked = false;
        for (const Wanted& w : wanted)
            asked = asked || w.local == local;
        if (!asked) continue;
        const std::string_view prefix(*a, static_cast<std::size_t>(colon - *a));
        if (prefix == "xmlns") continue;
        if (prefix.empty() || local.find(':') != std::string_view::npos)
            return XmlNamespaceProblem::InvalidName;
        const int ns = resolve(prefix);
        if (ns == kUnbound) return XmlNamespaceProblem::UnboundPrefix;
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i].ns != ns || wanted[i].local != local) continue;
            if (values[i]) return XmlNamespaceProblem::DuplicateAttribute;
            values[i] = a[1];
        }
    }
    return std::nullopt;
}

} // namespace xls2qdp
