// SPDX-License-Identifier: MIT
// Windows: temporary files of a run that ended are removed by the next run
// from the folders it works in, and only them. A file still open in a live
// process (which keeps others from deleting it) stays, as do names of live
// processes and names the library does not make.
#include "Leftovers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

using namespace qdptest;

namespace {

// The ids of every process now running, and of the one that keeps the
// system's services (it lives as long as the system).
struct Processes {
    std::set<DWORD> running;
    DWORD services = 0;
};

Processes runningProcesses() {
    Processes processes;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return processes;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more;
         more = ::Process32Next(snapshot, &entry)) {
        processes.running.insert(entry.th32ProcessID);
        if (::lstrcmpiA(entry.szExeFile, "services.exe") == 0)
            processes.services = entry.th32ProcessID;
    }
    ::CloseHandle(snapshot);
    return processes;
}

// Ids of no running process, and of another one that keeps running.
RunIds runIds() {
    const auto [running, services] = runningProcesses();
    RunIds ids;
    if (services != 0) ids.livePid = std::to_string(services);
    for (DWORD id = 4000; ids.deadPid.empty(); id += 4) {
        if (!running.contains(id)) ids.deadPid = std::to_string(id);
    }
    for (DWORD d = 4000; ids.deadDigits.empty(); d = (d + 4) % 100000) {
        const bool taken =
            std::any_of(running.begin(), running.end(), [d](DWORD id) { return id % 100000 == d; });
        if (!taken) {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%05lu", static_cast<unsigned long>(d));
            ids.deadDigits = digits;
        }
    }
    return ids;
}

TEST(LeftoversWindows, SetOutPathAndSaveRemoveOnlyTheFilesOfEndedRuns) {
    TempDir temp;
    TempDir output;
    const RunIds ids = runIds();
    ASSERT_FALSE(ids.livePid.empty()) << "no services process to own a file";
    const std::vector<std::string> keptInTemp = layOutLeftovers(temp, output, ids);
    // Held open, without sharing its deletion, as a running process holds
    // its own temporary files.
    const HANDLE inUse =
        ::CreateFileA(temp.file(inUseName(ids)).c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    expectOnlyEndedRunsRemoved(temp, output, ids, keptInTemp, [inUse] { ::CloseHandle(inUse); });
}

} // namespace
