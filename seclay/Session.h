// SPDX-License-Identifier: MIT
// One cipher session: the caller's algorithm and mode codes, the crypto
// library's numbers for them, the stored key and IV, and the contexts.
//
// Two families share the record. The context family keeps one main context
// open and loads the key and IV into it once; the E family keeps only the
// settings and opens a fresh work context for every buffer.
#pragma once

#include "KeyPipe.h"
#include "Result.h"

#include <ckx/ckx.h>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace seclay {

class Session {
public:
    Session() = default;
    ~Session(); // does the work of clear()
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Sets algoCode/libAlgo then modeCode/libMode from the code tables and
    // checks them with the crypto library. Algorithm 0 means no cipher. On
    // 61 the algorithm part stays set.
    [[nodiscard]] Result setCodes(std::int32_t algo, std::int32_t mode);
    // Context family: while the main context is open nothing changes;
    // otherwise setCodes() and, under a cipher, opens the main context.
    [[nodiscard]] Result algoMode(std::int32_t algo, std::int32_t mode);
    // E family: setCodes() only, even while a main context is open.
    [[nodiscard]] Result algoModeE(std::int32_t algo, std::int32_t mode) {
        return setCodes(algo, mode);
    }

    // Checks the key and IV against the library's sizes and stores them; a
    // refused pair leaves the stored ones as they were. keyIv() also loads
    // them into the main context.
    [[nodiscard]] Result keyIv(std::string_view key, std::string_view iv);
    [[nodiscard]] Result keyIvE(std::string_view key, std::string_view iv);

    // Context family, in place, lengths as given (no padding).
    [[nodiscard]] Result encrypt(std::span<std::uint8_t> data);
    [[nodiscard]] Result decrypt(std::span<std::uint8_t> data);

    // E family core. encryptE pads n bytes to a whole number of key-length
    // units (0x80 then zeros) and enciphers n + p bytes; the buffer must have
    // room for them. *encrypted receives n + p on success.
    [[nodiscard]] Result encryptE(std::uint8_t* buffer, std::uint32_t n,
                                  std::uint32_t* encrypted = nullptr);
    [[nodiscard]] Result decryptE(std::uint8_t* buffer, std::uint32_t n);
    // n + p for data of n bytes; n when no key is stored.
    [[nodiscard]] std::uint64_t paddedLength(std::uint32_t n) const;

    // Size rules in units of the key length.
    [[nodiscard]] Result testSize(std::uint32_t size) const;
    [[nodiscard]] Result setUpSize(std::uint32_t& size) const;

    // Releases the contexts and closes the pipe; codes, key and IV stay.
    void clear();

    // The key hand-over: openPipe() makes a new pipe and returns its write
    // end's descriptor (-1 on failure); receivePipedKey() reads one message
    // (16 key bytes, 8 IV bytes, each cut at its first zero), runs keyIv()
    // with it and closes the pipe. Fail when no whole message arrived within
    // timeoutMs; the pipe then stays open.
    [[nodiscard]] int openPipe();
    [[nodiscard]] Result receivePipedKey(int timeoutMs);
    [[nodiscard]] const KeyPipe& pipe() const { return pipe_; }

    [[nodiscard]] bool hasCipher() const { return algoCode_ != 0; }
    [[nodiscard]] std::int32_t algoCode() const { return algoCode_; }
    [[nodiscard]] std::int32_t modeCode() const { return modeCode_; }
    [[nodiscard]] std::int32_t libAlgo() const { return libAlgo_; }
    [[nodiscard]] std::int32_t libMode() const { return libMode_; }
    [[nodiscard]] std::uint32_t keyLength() const {
        return static_cast<std::uint32_t>(key_.size());
    }
    [[nodiscard]] std::uint32_t ivLength() const { return static_cast<std::uint32_t>(iv_.size()); }
    [[nodiscard]] bool hasMainContext() const { return mainContext_ != 0; }
    [[nodiscard]] bool hasWorkContext() const { return workContext_ != 0; }

private:
    [[nodiscard]] Result checkAndStore(std::string_view key, std::string_view iv);
    [[nodiscard]] Result loadInto(CRYPT_CONTEXT context) const;
    [[nodiscard]] Result openWorkContext();
    [[nodiscard]] Result releaseWorkContext(Result soFar);
    void wipeKeyMaterial();

    std::int32_t algoCode_ = 0;
    std::int32_t modeCode_ = 0;
    std::int32_t libAlgo_ = 0;
    std::int32_t libMode_ = 0;
    std::vector<std::uint8_t> key_; // no terminator; never holds a zero byte
    std::vector<std::uint8_t> iv_;
    CRYPT_QUERY_INFO queryInfo_{};
    CRYPT_CONTEXT mainContext_ = 0;
    CRYPT_CONTEXT workContext_ = 0;
    KeyPipe pipe_;
};

} // namespace seclay
