// SPDX-License-Identifier: MIT
#include "XmlNamespaces.h"

namespace xls2qdp {

XmlNamespaces::XmlNamespaces(std::vector<std::pair<std::string, int>> known)
    : known_(std::move(known)) {}

int XmlNamespaces::known(std::string_view uri) const {
    if (uri.empty()) return kNone;
    for (const auto& [name, ns] : known_)
        if (name == uri) return ns;
    return kOther;
}

void XmlNamespaces::enter(const char** attributes) {
    ++depth_;
    for (const char** a = attributes; *a; a += 2) {
        const std::string_view name = *a;
        if (name[0] != 'x' || !name.starts_with("xmlns")) continue;
        if (name.size() == 5) {
            bindings_.push_back({"", known(a[1]), depth_});
        } else if (name[5] == ':') {
            bindings_.push_back({std::string(name.substr(6)), known(a[1]), depth_});
        } else {
            continue;
        }
        cacheValid_ = false;
    }
}

void XmlNamespaces::leave() {
    while (!bindings_.empty() && bindings_.back().depth == depth_) {
        bindings_.pop_back();
        cacheValid_ = false;
    }
    --depth_;
}

int XmlNamespaces::namespaceOf(std::string_view name) {
    const std::size_t colon = name.find(':');
    const std::string_view prefix =
        colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon);
    if (cacheValid_ && prefix == cachedPrefix_) return cachedNs_;
    int ns = kNone;
    for (auto b = bindings_.rbegin(); b != bindings_.rend(); ++b) {
        if (b->prefix == prefix) {
            ns = b->ns;
            break;
        }
    }
    cachedPrefix_.assign(prefix);
    cachedNs_ = ns;
    cacheValid_ = true;
    return ns;
}

} // namespace xls2qdp
