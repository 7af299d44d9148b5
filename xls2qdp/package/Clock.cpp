// SPDX-License-Identifier: MIT
#include "package/Clock.h"

#include <ctime>

namespace xls2qdp {

LocalDateTime SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

} // namespace xls2qdp
