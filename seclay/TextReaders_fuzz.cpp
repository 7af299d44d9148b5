// SPDX-License-Identifier: MIT
// Fuzz target: arbitrary text through both hexadecimal readers and arbitrary
// bytes through E decryption, under a block mode and a feedback mode.
#include "seclay/seclay.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

SeclayHandle session(int32_t mode) {
    SeclayHandle h = 0;
    SeclayAlgoModeE(&h, 8, mode);
    SeclayKeyIvE(h, "sixteen byte key", mode == 1 ? "" : "IV-bytes");
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const SeclayHandle ecb = session(1), cfb = session(3);
    for (SeclayHandle h : {ecb, cfb}) {
        std::vector<unsigned char> text(data, data + size);
        text.push_back(0);
        SeclayDecryptEHex(h, text.data(), 0);
        text.assign(data, data + size);
        text.push_back(0);
        SeclayDecryptEBCD(h, text.data(), 0);
        text.assign(data, data + size);
        SeclayDecryptE(h, text.data(), static_cast<uint32_t>(size));
        text.resize(2 * size + 40);
        SeclayEncryptEHex(h, text.data(), static_cast<uint32_t>(size));
    }
    return 0;
}
