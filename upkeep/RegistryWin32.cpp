// SPDX-License-Identifier: MIT
// The registry operations over the Windows registry API.
#include "Registry.h"

#include <windows.h>

namespace upkeep {
namespace {

HKEY rootHandle(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users:
        return HKEY_USERS;
    case RegistryRoot::PerformanceData:
        return HKEY_PERFORMANCE_DATA;
    case RegistryRoot::CurrentConfig:
        return HKEY_CURRENT_CONFIG;
    case RegistryRoot::DynData:
        return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000006));
    }
    return nullptr;
}

// The API takes paths relative to the root, without the leading "\".
std::string relative(std::string_view path) {
    if (path.starts_with('\\')) path.remove_prefix(1);
    return std::string(path);
}

class OpenKey {
public:
    OpenKey(RegistryRoot root, std::string_view path, bool create) {
        const auto subkey = relative(path);
        const LONG result =
            create
                ? RegCreateKeyExA(rootHandle(root), subkey.c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key_, nullptr)
                : RegOpenKeyExA(rootHandle(root), subkey.c_str(), 0, KEY_ALL_ACCESS, &key_);
        if (result != ERROR_SUCCESS) key_ = nullptr;
    }
    ~OpenKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

} // namespace

struct Registry::Store {};

Registry::Registry() = default;
Registry::~Registry() = default;

Registry::Store& Registry::store(bool) {
    if (!store_) store_ = std::make_unique<Store>();
    return *store_;
}

void Registry::commit() {}

bool Registry::openKey(RegistryRoot root, std::string_view path, bool create) {
    return static_cast<bool>(OpenKey(root, path, create));
}

std::optional<std::vector<std::string>> Registry::subkeys(RegistryRoot root,
                                                          std::string_view path) {
    OpenKey key(root, path, false);
    if (!key) return std::nullopt;
    std::vector<std::string> names;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::string name(longest + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = RegEnumKeyExA(key.get(), index, name.data(), &length, nullptr, nullptr,
                                          nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return names;
        if (result != ERROR_SUCCESS) return std::nullopt;
        names.emplace_back(name.data(), length);
    }
}

bool Registry::deleteKey(RegistryRoot root, std::string_view path) {
    const auto subkey = relative(path);
    if (subkey.empty()) return false;
    return RegDeleteKeyA(rootHandle(root), subkey.c_str()) == ERROR_SUCCESS;
}

bool Registry::deleteValue(RegistryRoot root, std::string_view path, std::string_view name) {
    OpenKey key(root, path, false);
    return key && RegDeleteValueA(key.get(), std::string(name).c_str()) == ERROR_SUCCESS;
}

bool Registry::setString(RegistryRoot root, std::string_view path, std::string_view name,
                         std::string_view value) {
    OpenKey key(root, path, false);
    const std::string data(value);
    return key && RegSetValueExA(key.get(), std::string(name).c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(data.c_str()),
                                 static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

} // namespace upkeep
