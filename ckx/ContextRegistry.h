// SPDX-License-Identifier: MIT
// The process-wide table of live contexts, keyed by their handles.
#pragma once

#include "CipherContext.h"

#include <map>
#include <memory>
#include <mutex>

namespace ckx {

class ContextRegistry {
public:
    // Registers context and returns its new handle: non-zero, not in use,
    // and not handed out again until the counter wraps.
    [[nodiscard]] CRYPT_CONTEXT add(std::unique_ptr<CipherContext> context);
    // The context, or nullptr for a handle that names none. The pointer stays
    // valid until remove(handle).
    [[nodiscard]] CipherContext* find(CRYPT_CONTEXT handle);
    // False when the handle names no context.
    bool remove(CRYPT_CONTEXT handle);

private:
    std::mutex mutex_;
    std::map<CRYPT_CONTEXT, std::unique_ptr<CipherContext>> contexts_;
    CRYPT_CONTEXT last_ = 0;
};

// The one registry of the library.
ContextRegistry& contextRegistry();

} // namespace ckx
