// SPDX-License-Identifier: MIT
// The temporary files of ended and of live runs, laid out for the leftover
// tests of every system, and the run that must remove the first and only
// them: SetOutPathC clears its temporary folder, SaveC its output folder.
#pragma once

#include "TempDir.h"

#include <qdpcore/qdpcore.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qdptest {

struct RunIds {
    std::string deadDigits; // five digits that end the id of no living process
    std::string deadPid;    // the whole id of a process that has ended
    std::string livePid;    // the whole id of another living process
};

inline std::vector<std::string> sortedNames(const TempDir& dir) {
    std::vector<std::string> names = dir.names();
    std::sort(names.begin(), names.end());
    return names;
}

// The name of the file a test holds in use while SetOutPathC runs.
inline std::string inUseName(const RunIds& ids) {
    return "BAd" + ids.deadDigits;
}

// Writes the files of ended runs (to be removed) and the files to keep into
// temp and output; returns the names kept in temp. No two names differ in
// case only: Windows takes them for one file.
inline std::vector<std::string> layOutLeftovers(const TempDir& temp, const TempDir& output,
                                                const RunIds& ids) {
    const std::string& dead = ids.deadDigits;
    for (const std::string& name : {"CAa" + dead, "BQz" + dead, "TFa" + dead})
        writeFile(temp.file(name), "left over");
    writeFile(output.file("d1.qdp~" + ids.deadPid + "-0.qdptmp"), "left over");
    writeFile(output.file("CAb" + dead), "left over");
    // Not ours, not ended, not our names, in use or no file: kept.
    const std::vector<std::string> kept = {
        "BAc" + dead + "x", "CAa1234",  "Cqa" + dead,  "XAa" + dead,
        "notes.part37",     "x.qdptmp", "~1-0.qdptmp", "a~" + ids.deadPid + ".qdptmp",
        inUseName(ids),
    };
    for (const std::string& name : kept)
        writeFile(temp.file(name), "someone's");
    std::filesystem::create_directory(temp.file("CAf" + dead));
    writeFile(output.file("d2.qdp~" + ids.livePid + "-0.qdptmp"), "someone's");
    std::vector<std::string> keptInTemp = kept;
    keptInTemp.push_back("CAf" + dead);
    return keptInTemp;
}

// Opens a package on temp and saves it into output: temp then holds exactly
// keptInTemp, output the live run's staging file and the package. release
// lets go of the file in use once SetOutPathC has run.
inline void expectOnlyEndedRunsRemoved(const TempDir& temp, const TempDir& output,
                                       const RunIds& ids, std::vector<std::string> keptInTemp,
                                       const std::function<void()>& release) {
    QdpHandle h = 0;
    ASSERT_EQ(PaczkaC(&h, 1, "T", "P", nullptr), QDP_OK);
    ASSERT_EQ(SetOutPathC(h, temp.prefix().c_str()), QDP_OK);
    std::sort(keptInTemp.begin(), keptInTemp.end());
    EXPECT_EQ(sortedNames(temp), keptInTemp);
    release();

    ASSERT_EQ(AddDokumentC(h, "D", 1, 1, nullptr), QDP_OK);
    ASSERT_EQ(AddSekcjaC(h, "S", nullptr), QDP_OK);
    ASSERT_EQ(AddDefPolC(h, "A", "C", "3", "0", nullptr), QDP_OK);
    ASSERT_EQ(SaveC(h, output.file("d3.qdp").c_str()), QDP_OK);
    EXPECT_EQ(sortedNames(output),
              (std::vector<std::string>{"d2.qdp~" + ids.livePid + "-0.qdptmp", "d3.qdp"}));
    EXPECT_EQ(Clear(h), QDP_OK);
}

} // namespace qdptest
