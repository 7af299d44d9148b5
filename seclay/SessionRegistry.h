// SPDX-License-Identifier: MIT
// The process-wide table of live sessions, keyed by their handles.
#pragma once

#include "Session.h"

#include <cstdint>
#include <map>
#include <memory>

namespace seclay {

using Handle = std::uint32_t;

class SessionRegistry {
public:
    // Makes a session with every field at its starting value and returns its
    // handle: non-zero, unused by any live session, and not handed out again
    // until the 32-bit counter wraps, so a stale handle finds nothing.
    // Throws std::bad_alloc.
    Handle create();
    // The session, or nullptr when the handle names none.
    [[nodiscard]] Session* find(Handle handle);
    // Ends the session; false when the handle names none.
    bool destroy(Handle handle);

private:
    std::map<Handle, std::unique_ptr<Session>> sessions_; // by handle: creation order until a wrap
    Handle last_ = 0;
};

// The one registry of the library. No locks: one thread at a time.
SessionRegistry& sessionRegistry();

} // namespace seclay
