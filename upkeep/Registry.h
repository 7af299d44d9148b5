// SPDX-License-Identifier: MIT
// The registry operations the tool performs. On Windows they go to the system
// registry. Elsewhere the registry is one text file (see RegistryDocument.h) at
// $UPKEEP_REGISTRY, else $XDG_CONFIG_HOME/upkeep/registry.reg (else
// ~/.config/upkeep/registry.reg): it is read and locked once, at the first
// call (see LockedFile.h), changes are made in memory and commit() writes
// them with one write (by the rules of FileReplacement.h); a run that changes
// nothing writes nothing. A missing file is made only when the first call
// may create a key.
//
// A key path is given below its root, with or without one leading "\"
// ("\Software\Firm"); "" names the root itself. Names compare without regard
// to case. Failures of the file below (a registry file that cannot be read,
// parsed, locked or written, or that is no regular file) throw SystemFailure;
// the registry file is then left as it was.
#pragma once

#include "RegistryRoot.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace upkeep {

class Registry {
public:
    Registry();
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Whether the key opens with full access; with `create`, the missing keys
    // of the path are created first.
    [[nodiscard]] bool openKey(RegistryRoot root, std::string_view path, bool create);
    // The names of the key's subkeys; nullopt when the key does not open.
    [[nodiscard]] std::optional<std::vector<std::string>> subkeys(RegistryRoot root,
                                                                  std::string_view path);
    // Deletes a key that has no subkeys.
    [[nodiscard]] bool deleteKey(RegistryRoot root, std::string_view path);
    // Deletes a value of an existing key.
    [[nodiscard]] bool deleteValue(RegistryRoot root, std::string_view path, std::string_view name);
    // Sets a string value (REG_SZ) of an existing key; name "" is the key's
    // default value.
    [[nodiscard]] bool setString(RegistryRoot root, std::string_view path, std::string_view name,
                                 std::string_view value);
    // Writes this run's changes (the system registry has them already).
    void commit();

private:
    struct Store;
    Store& store(bool createFile);
    std::unique_ptr<Store> store_;
};

} // namespace upkeep
