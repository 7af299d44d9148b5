// SPDX-License-Identifier: MIT
#include "KeyPipe.h"

#include <cerrno>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace seclay {
namespace {

#if defined(_WIN32)
constexpr unsigned kPipeBuffer = 257;
#endif

void closeDescriptor(int& fd) {
    if (fd < 0) return;
#if defined(_WIN32)
    _close(fd);
#else
    // The descriptor is released even when close reports an error, so it is
    // never closed twice (a second close could hit a reused number).
    ::close(fd);
#endif
    fd = -1;
}

} // namespace

bool KeyPipe::open() {
    close();
    int fds[2];
#if defined(_WIN32)
    if (_pipe(fds, kPipeBuffer, _O_BINARY) != 0) return false;
#else
    if (::pipe(fds) != 0) return false;
    ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
#endif
    readFd_ = fds[0];
    writeFd_ = fds[1];
    return true;
}

std::optional<PipeMessage> KeyPipe::readMessage(int timeoutMs) {
    if (readFd_ < 0) return std::nullopt;
    PipeMessage message{};
#if defined(_WIN32)
    // This process holds the write end too, so a plain read would wait for
    // ever if the second party never writes: wait for bytes to arrive.
    const auto pipe = reinterpret_cast<HANDLE>(_get_osfhandle(readFd_));
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available == 0 &&
           GetTickCount64() < deadline) {
        Sleep(5);
    }
    if (available == 0) return std::nullopt;
    int got = _read(readFd_, message.data(), static_cast<unsigned>(message.size()));
#else
    // This process holds the write end too, so a plain read would wait for
    // ever if the second party never writes.
    pollfd waiting{readFd_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&waiting, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return std::nullopt;
    ssize_t got;
    do {
        got = ::read(readFd_, message.data(), message.size());
    } while (got < 0 && errno == EINTR);
#endif
    if (got < static_cast<int>(message.size())) return std::nullopt;
    return message;
}

void KeyPipe::close() {
    closeDescriptor(readFd_);
    closeDescriptor(writeFd_);
}

} // namespace seclay
