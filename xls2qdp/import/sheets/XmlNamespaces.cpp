// SPDX-License-Identifier: MIT
#include "XmlNamespaces.h"

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
        const std::string_view name = *a;
        if (name[0] != 'x' || !name.starts_with("xmlns")) continue;
        std::string_view prefix;
        if (name.size() == 5) {
            // the default namespace
        } else if (name[5] == ':') {
            prefix = name.substr(6);
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

const char* XmlNamespaces::attribute(const char** attributes, int ns, std::string_view local,
                                     std::optional<XmlNamespaceProblem>& problem) {
    const char* value = nullptr;
    for (const char** a = attributes; *a; a += 2) {
        const std::string_view name = *a;
        // Only prefixed attributes are in a namespace; the local name is
        // compared first, as it rules out nearly every attribute.
        if (name.size() <= local.size() + 1 || !name.ends_with(local) ||
            name[name.size() - local.size() - 1] != ':')
            continue;
        const std::string_view prefix = name.substr(0, name.size() - local.size() - 1);
        if (prefix == "xmlns") continue;
        if (prefix.empty() || prefix.find(':') != std::string_view::npos) {
            problem = XmlNamespaceProblem::InvalidName;
            return nullptr;
        }
        const int found = resolve(prefix);
        if (found == kUnbound) {
            problem = XmlNamespaceProblem::UnboundPrefix;
            return nullptr;
        }
        if (found != ns) continue;
        if (value) {
            problem = XmlNamespaceProblem::DuplicateAttribute;
            return nullptr;
        }
        value = a[1];
    }
    return value;
}

} // namespace xls2qdp
