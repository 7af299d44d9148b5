// SPDX-License-Identifier: MIT
// Unloading the library with packages still listed destroys them, and with
// them their temporary files.
#include "TempDir.h"

#include <qdpcore/qdpcore.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

TEST(Unload, PackagesStillListedLeaveNoTemporaryFile) {
    qdptest::TempDir dir;
    void* library = ::dlopen(QDPCORE_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto paczka = reinterpret_cast<decltype(&PaczkaC)>(::dlsym(library, "PaczkaC"));
    const auto outPath = reinterpret_cast<decltype(&SetOutPathC)>(::dlsym(library, "SetOutPathC"));
    const auto dokument =
        reinterpret_cast<decltype(&AddDokumentC)>(::dlsym(library, "AddDokumentC"));
    const auto sekcja = reinterpret_cast<decltype(&AddSekcjaC)>(::dlsym(library, "AddSekcjaC"));
    ASSERT_TRUE(paczka && outPath && dokument && sekcja);
    for (int i = 0; i < 2; ++i) {
        QdpHandle h = 0;
        ASSERT_EQ(paczka(&h, 1, "T", "P", nullptr), QDP_OK);
        ASSERT_EQ(outPath(h, dir.prefix().c_str()), QDP_OK);
        ASSERT_EQ(dokument(h, "D", 1, 1, nullptr), QDP_OK);
        ASSERT_EQ(sekcja(h, "S", nullptr), QDP_OK);
    }
    EXPECT_EQ(dir.names().size(), 4u);
    ASSERT_EQ(::dlclose(library), 0);
    EXPECT_TRUE(dir.names().empty());
}

} // namespace
