// SPDX-License-Identifier: MIT
// Windows: what SaveC does to whatever the output path names, the rules of
// SaveTarget_test on that system. A new file is made; an existing file is
// replaced whole and keeps its attributes; a read-only file, a folder or a
// missing folder is refused and left as it was; a file with a second name
// (hard link) is written in place so both names see the new package, and so
// is a device; no staging file is left in any case.
#include "PackageFixture.h"
#include "TempDir.h"

#include <qdpcore/qdpcore.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <windows.h>

using namespace qdptest;
namespace fs = std::filesystem;

namespace {

// records records of 60 bytes each.
PackageSpec packageOf(int records) {
    SectionSpec section{"S", "", {{"A", "C", 60, ""}}, {}, {}};
    for (int i = 0; i < records; ++i)
        section.records.push_back({std::string(60, static_cast<char>('a' + i % 26))});
    PackageSpec spec;
    spec.documents = {{"DOK", "", {section}}};
    return spec;
}

bool isPackage(const fs::path& path, int records) {
    const std::string bytes = readFile(path.string());
    return bytes.starts_with("PACZKA") &&
           bytes.size() == 124u + 33 + 76 + 33 + 44 + 51 + 63u * static_cast<unsigned>(records);
}

DWORD attributesOf(const fs::path& path) {
    return ::GetFileAttributesA(path.string().c_str());
}

struct TargetCase {
    const char* name;
    // Makes the target in the folder and returns the path to save to.
    std::function<std::string(const fs::path&)> prepare;
    int32_t expected;
    std::function<void(const fs::path&)> check;
};

const TargetCase kTargets[] = {
    {"a new file", [](const fs::path& d) { return (d / "new.qdp").string(); }, QDP_OK,
     [](const fs::path& d) { EXPECT_TRUE(isPackage(d / "new.qdp", 3)); }},
    {"a longer file is replaced whole and keeps its attributes",
     [](const fs::path& d) {
         writeFile((d / "old.qdp").string(), std::string(5000, 'x'));
         ::SetFileAttributesA((d / "old.qdp").string().c_str(), FILE_ATTRIBUTE_HIDDEN);
         return (d / "old.qdp").string();
     },
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(isPackage(d / "old.qdp", 3));
         EXPECT_NE(attributesOf(d / "old.qdp") & FILE_ATTRIBUTE_HIDDEN, 0u);
     }},
    {"a read-only file is left alone",
     [](const fs::path& d) {
         writeFile((d / "ro.qdp").string(), "keep");
         ::SetFileAttributesA((d / "ro.qdp").string().c_str(), FILE_ATTRIBUTE_READONLY);
         return (d / "ro.qdp").string();
     },
     QDP_CREATE_FAILED,
     [](const fs::path& d) {
         EXPECT_EQ(readFile((d / "ro.qdp").string()), "keep");
         ::SetFileAttributesA((d / "ro.qdp").string().c_str(), FILE_ATTRIBUTE_NORMAL);
     }},
    {"a file with a second name is written in place",
     [](const fs::path& d) {
         writeFile((d / "one.qdp").string(), std::string(5000, 'x'));
         fs::create_hard_link(d / "one.qdp", d / "two.qdp");
         return (d / "one.qdp").string();
     },
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(isPackage(d / "one.qdp", 3));
         EXPECT_TRUE(isPackage(d / "two.qdp", 3));
     }},
    {"an old partial name is neither used nor removed",
     [](const fs::path& d) {
         writeFile((d / "p.qdp.part0").string(), "someone's");
         writeFile((d / "p.qdp~1-0.qdptmp.keep").string(), "someone's");
         return (d / "p.qdp").string();
     },
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(isPackage(d / "p.qdp", 3));
         EXPECT_EQ(readFile((d / "p.qdp.part0").string()), "someone's");
         EXPECT_EQ(readFile((d / "p.qdp~1-0.qdptmp.keep").string()), "someone's");
     }},
    // The device name means the device in every folder: written to, nothing
    // staged beside it and no file of that name made.
    {"the device that takes everything", [](const fs::path& d) { return (d / "NUL").string(); },
     QDP_OK, [](const fs::path& d) { EXPECT_TRUE(fs::is_empty(d)); }},
    {"a folder is refused",
     [](const fs::path& d) {
         fs::create_directory(d / "folder.qdp");
         return (d / "folder.qdp").string();
     },
     QDP_CREATE_FAILED, [](const fs::path& d) { EXPECT_TRUE(fs::is_directory(d / "folder.qdp")); }},
    {"a missing folder is refused",
     [](const fs::path& d) { return (d / "none" / "out.qdp").string(); }, QDP_CREATE_FAILED,
     [](const fs::path& d) { EXPECT_FALSE(fs::exists(d / "none")); }},
};

TEST(SaveTargetWindows, EachKindOfTarget) {
    for (const auto& row : kTargets) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const fs::path out = dir.path() / "out";
        fs::create_directory(out);
        fs::create_directory(dir.path() / "sections");
        const std::string target = row.prepare(out);
        EXPECT_EQ(buildPackage(packageOf(3), dir.prefix() + "sections/", target), row.expected);
        row.check(out);
        for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
            EXPECT_FALSE(e.path().filename().string().ends_with(".qdptmp")) << e.path();
        }
        EXPECT_TRUE(fs::is_empty(dir.path() / "sections"));
    }
}

// A file another program holds open without sharing its deletion cannot be
// replaced there: SaveC writes it in place, or reports a code, and the file
// never loses its old content to a half-written package.
TEST(SaveTargetWindows, FileHeldOpenByAnotherProgram) {
    TempDir dir;
    fs::create_directory(dir.path() / "sections");
    const std::string target = dir.file("held.qdp");
    writeFile(target, std::string(5000, 'x'));
    const HANDLE held =
        ::CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const int32_t code = buildPackage(packageOf(3), dir.prefix() + "sections/", target);
    ::CloseHandle(held);
    if (code == QDP_OK) {
        EXPECT_TRUE(isPackage(target, 3));
    } else {
        EXPECT_EQ(readFile(target), std::string(5000, 'x'));
    }
    for (const auto& name : dir.names())
        EXPECT_FALSE(name.ends_with(".qdptmp")) << name;
}

} // namespace
