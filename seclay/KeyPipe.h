// SPDX-License-Identifier: MIT
// The anonymous pipe through which a second party hands a session its key
// and IV: 16 key bytes then 8 IV bytes, written into the write end.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace seclay {

inline constexpr std::size_t kPipeKeyBytes = 16;
inline constexpr std::size_t kPipeIvBytes = 8;
using PipeMessage = std::array<std::uint8_t, kPipeKeyBytes + kPipeIvBytes>;

class KeyPipe {
public:
    KeyPipe() = default;
    ~KeyPipe() { close(); }
    KeyPipe(const KeyPipe&) = delete;
    KeyPipe& operator=(const KeyPipe&) = delete;

    // Opens a new pipe (closing one still open). The write end stays
    // inheritable, since the second party is usually a child process.
    [[nodiscard]] bool open();
    [[nodiscard]] bool isOpen() const { return readFd_ >= 0; }
    // The write end's descriptor number, -1 when closed.
    [[nodiscard]] int writeDescriptor() const { return writeFd_; }
    // One read of up to a whole message, waiting at most timeoutMs for data
    // to arrive. nullopt unless a whole message came; the pipe stays open.
    [[nodiscard]] std::optional<PipeMessage> readMessage(int timeoutMs);
    // Closes both ends.
    void close();

private:
    int readFd_ = -1;
    int writeFd_ = -1;
};

} // namespace seclay
