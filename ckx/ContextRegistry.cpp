// SPDX-License-Identifier: MIT
#include "ContextRegistry.h"

#include <limits>

namespace ckx {
namespace {

// A namespace-scope object: built when the library is loaded, so it outlives
// every object of the libraries and programs that load this one.
ContextRegistry registry;

} // namespace

ContextRegistry& contextRegistry() {
    return registry;
}

CRYPT_CONTEXT ContextRegistry::add(std::unique_ptr<CipherContext> context) {
    std::lock_guard lock(mutex_);
    do {
        last_ = last_ == std::numeric_limits<CRYPT_CONTEXT>::max() ? 1 : last_ + 1;
    } while (contexts_.contains(last_));
    contexts_.emplace(last_, std::move(context));
    return last_;
}

CipherContext* ContextRegistry::find(CRYPT_CONTEXT handle) {
    std::lock_guard lock(mutex_);
    auto it = contexts_.find(handle);
    return it == contexts_.end() ? nullptr : it->second.get();
}

bool ContextRegistry::remove(CRYPT_CONTEXT handle) {
    std::unique_ptr<CipherContext> gone;
    std::lock_guard lock(mutex_);
    auto it = contexts_.find(handle);
    if (it == contexts_.end()) return false;
    gone = std::move(it->second);
    contexts_.erase(it);
    return true;
}

} // namespace ckx
