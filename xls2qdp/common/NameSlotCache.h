// SPDX-License-Identifier: MIT
// Where a name asked for again and again was last found. Callers ask for
// fields by names that lie in a few places in memory (string literals, the
// strings of a list of fields), so the cache is keyed by the name's address:
// a multiplicative hash spreads names a few bytes apart over the entries.
// An entry may be stale (another name now lies at that address, or another
// list is searched): the caller checks the slot against the name before it
// trusts it, and searches only on a miss.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace xls2qdp {

class NameSlotCache {
public:
    // The slot last stored for a name at this address, to check and, on a
    // miss, to overwrite; 0 until then.
    std::size_t& entry(std::string_view name) {
        const std::uint64_t where = reinterpret_cast<std::uintptr_t>(name.data());
        return slots_[(where * 0x9E3779B97F4A7C15ull) >> (64 - kBits)];
    }
    void clear() { slots_.fill(0); }

private:
    static constexpr int kBits = 10;
    std::array<std::size_t, std::size_t{1} << kBits> slots_{};
};

} // namespace xls2qdp
