// SPDX-License-Identifier: MIT
#include "SessionRegistry.h"

namespace seclay {
namespace {

// Built when the library is loaded, after the crypto library it depends on,
// so sessions still left at exit release their contexts before that library
// goes away.
SessionRegistry registry;

} // namespace

SessionRegistry& sessionRegistry() {
    return registry;
}

Handle SessionRegistry::create() {
    auto session = std::make_unique<Session>();
    Handle next = last_;
    do {
        ++next;
    } while (next == 0 || sessions_.contains(next));
    sessions_.emplace(next, std::move(session));
    last_ = next;
    return next;
}

Session* SessionRegistry::find(Handle handle) {
    auto it = sessions_.find(handle);
    return it == sessions_.end() ? nullptr : it->second.get();
}

bool SessionRegistry::destroy(Handle handle) {
    auto it = sessions_.find(handle);
    if (it == sessions_.end()) return false;
    std::unique_ptr<Session> gone = std::move(it->second);
    sessions_.erase(it);
    return true; // gone's destructor clears the session
}

} // namespace seclay
