// SPDX-License-Identifier: MIT
// Unloading the library with packages still listed destroys them, and with
// them their temporary files.
#include "TempDir.h"

#include <qdpcore/qdpcore.h>

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

#if defined(_WIN32)
using Library = HMODULE;
Library loadLibrary(const char* path) {
    return ::LoadLibraryA(path);
}
void* symbol(Library library, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(library, name));
}
bool unloadLibrary(Library library) {
    return ::FreeLibrary(library) != 0;
}
#else
using Library = void*;
Library loadLibrary(const char* path) {
    return ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
}
void* symbol(Library library, const char* name) {
    return ::dlsym(library, name);
}
bool unloadLibrary(Library library) {
    return ::dlclose(library) == 0;
}
#endif

TEST(Unload, PackagesStillListedLeaveNoTemporaryFile) {
    qdptest::TempDir dir;
    const Library library = loadLibrary(QDPCORE_LIBRARY_PATH);
    ASSERT_NE(library, nullptr) << QDPCORE_LIBRARY_PATH;
    const auto paczka = reinterpret_cast<decltype(&PaczkaC)>(symbol(library, "PaczkaC"));
    const auto outPath = reinterpret_cast<decltype(&SetOutPathC)>(symbol(library, "SetOutPathC"));
    const auto dokument =
        reinterpret_cast<decltype(&AddDokumentC)>(symbol(library, "AddDokumentC"));
    const auto sekcja = reinterpret_cast<decltype(&AddSekcjaC)>(symbol(library, "AddSekcjaC"));
    ASSERT_TRUE(paczka && outPath && dokument && sekcja);
    for (int i = 0; i < 2; ++i) {
        QdpHandle h = 0;
        ASSERT_EQ(paczka(&h, 1, "T", "P", nullptr), QDP_OK);
        ASSERT_EQ(outPath(h, dir.prefix().c_str()), QDP_OK);
        ASSERT_EQ(dokument(h, "D", 1, 1, nullptr), QDP_OK);
        ASSERT_EQ(sekcja(h, "S", nullptr), QDP_OK);
    }
    EXPECT_EQ(dir.names().size(), 4u);
    ASSERT_TRUE(unloadLibrary(library));
    EXPECT_TRUE(dir.names().empty());
}

} // namespace
