// SPDX-License-Identifier: MIT
// Names for new package files: prefix, a time stamp written in base 40 and
// ".qdp", chosen so that no file of that name exists yet in the folder.
#pragma once

#include "package/Clock.h"
#include "package/QdpBase.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace xls2qdp {

// value in base 40, most significant digit first; digits 0..38 are
// "0123456789abcdefghijklmnopqrstuvwxyz_#$" and 39 is "Q".
std::string encodeBase40(std::uint64_t value);

// Remembers the previous stamp across calls, so keep one per program (or
// per test). Single-threaded.
class OutputFileNamer : public TQDPBase {
public:
    // clock must outlive the namer.
    explicit OutputFileNamer(const Clock& clock, QdpBinding binding = {});

    // Sets fullName to folder + prefix + stamp + ".qdp" for a file that does
    // not exist yet and returns true. The stamp is the local time as
    // seconds, day, month, hour, minute ("ssddmmhhnn"); when that equals the
    // previous stamp, or its name is taken, the minute gives way to a counter
    // ("ssddmmhh" + two digits of counter mod 10, counter from 2). Gives up
    // with false after the counter reaches 1000, showing "Błąd podczas
    // tworzenia nazwy pliku qdp!" when show is true. A folder without a
    // trailing path delimiter gets one.
    bool fNewFileName(std::string_view folder, bool show, std::string_view prefix,
                      std::string& fullName);

private:
    std::string makeStamp(int counter);

    const Clock& clock_;
    std::string previousStamp_;
};

// The program's own namer (the system clock, one remembered stamp for the
// whole run); messages go to sink (null: standard error).
bool fNewFileName(std::string_view folder, bool show, std::string_view prefix,
                  std::string& fullName, MessageSink* sink = nullptr);

} // namespace xls2qdp
