// SPDX-License-Identifier: MIT
// The seven predefined registry roots, with their full and short names.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace upkeep {

enum class RegistryRoot {
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    PerformanceData,
    CurrentConfig,
    DynData,
};

struct RegistryRootName {
    RegistryRoot root;
    std::string_view fullName;
    std::string_view shortName;
};

inline constexpr std::array<RegistryRootName, 7> kRegistryRoots{{
    {RegistryRoot::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {RegistryRoot::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {RegistryRoot::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {RegistryRoot::Users, "HKEY_USERS", "HKU"},
    {RegistryRoot::PerformanceData, "HKEY_PERFORMANCE_DATA", "HKPD"},
    {RegistryRoot::CurrentConfig, "HKEY_CURRENT_CONFIG", "HKCC"},
    {RegistryRoot::DynData, "HKEY_DYN_DATA", "HKDD"},
}};

// Finds a root by its full or short name, given in upper case.
[[nodiscard]] constexpr std::optional<RegistryRoot> registryRootByName(std::string_view upper) {
    for (const auto& entry : kRegistryRoots) {
        if (upper == entry.fullName || upper == entry.shortName) return entry.root;
    }
    return std::nullopt;
}

[[nodiscard]] constexpr std::string_view registryRootFullName(RegistryRoot root) {
    return kRegistryRoots[static_cast<std::size_t>(root)].fullName;
}

} // namespace upkeep
