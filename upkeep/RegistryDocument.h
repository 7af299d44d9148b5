// SPDX-License-Identifier: MIT
// The registry held in one text file in the registry-export format, so that an
// administrator can read it and import it on Windows:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Firm]
//   @="default value"
//   "Name"="text with \\ and \" escaped"
//
// Lines end in CR LF and the text is UTF-8. Values of other types (dword:,
// hex:, hex(N):) are kept exactly as written. Key and value names are compared
// without regard to case and keep the case in which they were created. Names
// are found through hash tables, so reading, changing and writing a file cost
// time in proportion to its size, however many keys share one parent.
#pragma once

#include "RegistryRoot.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace upkeep {

struct RegistryValue {
    std::string name; // empty: the key's default value, written as @
    bool isString = true;
    std::string data; // the text of a string value; for other types the data as written after '='
};

class RegistryKeyNode {
public:
    explicit RegistryKeyNode(std::string keyName = {}) : name(std::move(keyName)) {}

    std::string name;

    // Values in the order in which they were first set.
    [[nodiscard]] const std::vector<RegistryValue>& values() const { return values_; }
    [[nodiscard]] RegistryValue* findValue(std::string_view valueName);
    // Sets a value; one of the same name keeps its place and its name's case.
    void setValue(RegistryValue value);
    // False when there is no value of that name.
    bool removeValue(std::string_view valueName);

    // Subkeys in the order in which they were created.
    [[nodiscard]] std::vector<const RegistryKeyNode*> subkeys() const;
    [[nodiscard]] bool hasSubkeys() const { return liveSubkeys_ != 0; }
    [[nodiscard]] RegistryKeyNode* findSubkey(std::string_view keyName);
    RegistryKeyNode& findOrAddSubkey(std::string_view keyName);
    // Removes a subkey that has no subkeys; false when it is missing or has.
    bool removeLeafSubkey(std::string_view keyName);

private:
    std::vector<RegistryValue> values_;
    std::unordered_map<std::string, std::size_t> valueIndex_; // folded name -> position
    // A removed subkey keeps its place (marked) until the document is read
    // again, so that removing many subkeys one by one moves none.
    std::vector<RegistryKeyNode> subkeys_;
    std::unordered_map<std::string, std::size_t> subkeyIndex_; // live ones only
    std::size_t liveSubkeys_ = 0;
    bool removed_ = false;
};

struct RegistryParseError {
    int line = 0; // 1-based line of the file
    std::string message;
};

// Splits a key path below a root ("\Software\Firm" or "Software\Firm"; one
// leading "\" is allowed, "" names the root itself) into key names. Empty key
// names, names holding a line break and paths deeper than the Windows registry
// allows are refused.
inline constexpr std::size_t kMaxKeyDepth = 512;
[[nodiscard]] std::optional<std::vector<std::string>> splitRegistryPath(std::string_view path);

// Whether a value name or string value can be written to the file (the format
// has no way to write a line break inside a string).
[[nodiscard]] bool isStorableRegistryText(std::string_view text);

class RegistryDocument {
public:
    static constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

    // An empty text is an empty registry.
    [[nodiscard]] static std::variant<RegistryDocument, RegistryParseError>
    parse(std::string_view text);
    [[nodiscard]] std::string format() const;

    [[nodiscard]] RegistryKeyNode& root(RegistryRoot root);
    [[nodiscard]] RegistryKeyNode* find(RegistryRoot root, const std::vector<std::string>& path);
    // Creates the missing keys of the path.
    RegistryKeyNode& findOrCreate(RegistryRoot root, const std::vector<std::string>& path);
    // Removes a key that has no subkeys; false when it is missing, has subkeys
    // or is a root.
    bool removeLeafKey(RegistryRoot root, const std::vector<std::string>& path);

private:
    std::array<RegistryKeyNode, kRegistryRoots.size()> roots_;
};

} // namespace upkeep
