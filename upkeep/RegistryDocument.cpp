// SPDX-License-Identifier: MIT
#include "RegistryDocument.h"

#include "TextCase.h"

#include <algorithm>
#include <cctype>

namespace upkeep {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimRight(std::string_view text) {
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string_view trimLeft(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// Reads a quoted string at the start of `text`; on success `text` is advanced
// past the closing quote.
std::optional<std::string> readQuoted(std::string_view& text, std::string& error) {
    if (text.empty() || text.front() != '"') {
        error = "oczekiwano napisu w cudzyslowach";
        return std::nullopt;
    }
    std::string result;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return result;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                error = "niedozwolona sekwencja ze znakiem \\ w napisie";
                return std::nullopt;
            }
            ++i;
            result += text[i];
            continue;
        }
        result += c;
    }
    error = "brak zamykajacego cudzyslowu";
    return std::nullopt;
}

bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The byte list of a hex value line: hex pairs, commas and blanks, with a
// trailing "\" when the list goes on in the next line.
bool isHexList(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return isHexDigit(c) || c == ',' || isBlank(c); });
}

// Length of the type prefix of non-string data ("dword:", "hex:", "hex(7):"),
// or 0 when the data is of no known type.
std::size_t typePrefixLength(std::string_view data) {
    if (data.starts_with("dword:")) return 6;
    if (data.starts_with("hex:")) return 4;
    if (data.starts_with("hex(")) {
        const auto close = data.find("):");
        if (close == std::string_view::npos || close == 4) return 0;
        for (std::size_t i = 4; i < close; ++i) {
            if (!isHexDigit(data[i])) return 0;
        }
        return close + 2;
    }
    return 0;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        auto line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void formatKey(std::string& out, std::string& path, const RegistryKeyNode& key, bool isRoot) {
    if (!isRoot || !key.values().empty()) {
        out += '[';
        out += path;
        out += ']';
        out += kCrLf;
        for (const auto& value : key.values()) {
            out += value.name.empty() ? std::string("@") : quote(value.name);
            out += '=';
            out += value.isString ? quote(value.data) : value.data;
            out += kCrLf;
        }
        out += kCrLf;
    }
    // One path buffer for the whole walk: each key adds its name and takes
    // it off again.
    for (const RegistryKeyNode* subkey : key.subkeys()) {
        const std::size_t length = path.size();
        path += '\\';
        path += subkey->name;
        formatKey(out, path, *subkey, false);
        path.resize(length);
    }
}

} // namespace

RegistryValue* RegistryKeyNode::findValue(std::string_view valueName) {
    const auto it = valueIndex_.find(foldedName(valueName));
    return it == valueIndex_.end() ? nullptr : &values_[it->second];
}

void RegistryKeyNode::setValue(RegistryValue value) {
    if (RegistryValue* existing = findValue(value.name)) {
        existing->isString = value.isString;
        existing->data = std::move(value.data);
        return;
    }
    valueIndex_.emplace(foldedName(value.name), values_.size());
    values_.push_back(std::move(value));
}

bool RegistryKeyNode::removeValue(std::string_view valueName) {
    const auto it = valueIndex_.find(foldedName(valueName));
    if (it == valueIndex_.end()) return false;
    const std::size_t position = it->second;
    values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(position));
    valueIndex_.erase(it);
    for (auto& entry : valueIndex_) {
        if (entry.second > position) --entry.second;
    }
    return true;
}

std::vector<const RegistryKeyNode*> RegistryKeyNode::subkeys() const {
    std::vector<const RegistryKeyNode*> live;
    live.reserve(liveSubkeys_);
    for (const auto& subkey : subkeys_) {
        if (!subkey.removed_) live.push_back(&subkey);
    }
    return live;
}

RegistryKeyNode* RegistryKeyNode::findSubkey(std::string_view keyName) {
    const auto it = subkeyIndex_.find(foldedName(keyName));
    return it == subkeyIndex_.end() ? nullptr : &subkeys_[it->second];
}

RegistryKeyNode& RegistryKeyNode::findOrAddSubkey(std::string_view keyName) {
    auto [it, added] = subkeyIndex_.try_emplace(foldedName(keyName), subkeys_.size());
    if (added) {
        subkeys_.emplace_back(std::string(keyName));
        ++liveSubkeys_;
    }
    return subkeys_[it->second];
}

bool RegistryKeyNode::removeLeafSubkey(std::string_view keyName) {
    const auto it = subkeyIndex_.find(foldedName(keyName));
    if (it == subkeyIndex_.end() || subkeys_[it->second].hasSubkeys()) return false;
    RegistryKeyNode& doomed = subkeys_[it->second];
    doomed.removed_ = true;
    doomed.values_.clear();
    doomed.valueIndex_.clear();
    subkeyIndex_.erase(it);
    --liveSubkeys_;
    return true;
}

std::optional<std::vector<std::string>> splitRegistryPath(std::string_view path) {
    if (path.starts_with('\\')) path.remove_prefix(1);
    std::vector<std::string> names;
    if (path.empty()) return names;
    std::size_t start = 0;
    while (true) {
        const auto end = std::min(path.find('\\', start), path.size());
        const auto name = path.substr(start, end - start);
        if (name.empty() || hasLineBreak(name) || names.size() == kMaxKeyDepth) return std::nullopt;
        names.emplace_back(name);
        if (end == path.size()) return names;
        start = end + 1;
    }
}

bool isStorableRegistryText(std::string_view text) {
    return !hasLineBreak(text);
}

std::variant<RegistryDocument, RegistryParseError> RegistryDocument::parse(std::string_view text) {
    RegistryDocument document;
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        return RegistryParseError{1, "plik zapisany w UTF-16; zapisz go w UTF-8"};
    }
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (text.empty()) return document;

    const auto lines = splitLines(text);
    if (trimRight(lines.front()) != kHeader) {
        return RegistryParseError{1, "brak naglowka \"" + std::string(kHeader) + "\""};
    }
    RegistryKeyNode* current = nullptr;
    for (std::size_t index = 1; index < lines.size(); ++index) {
        const int lineNumber = static_cast<int>(index + 1);
        const auto line = trimRight(trimLeft(lines[index]));
        if (line.empty() || line.front() == ';') continue;

        if (line.front() == '[') {
            if (line.back() != ']')
                return RegistryParseError{lineNumber, "brak znaku ] w nazwie klucza"};
            const auto keyPath = line.substr(1, line.size() - 2);
            if (keyPath.starts_with('-')) {
                return RegistryParseError{lineNumber,
                                          "usuwanie klucza nie jest dozwolone w pliku rejestru"};
            }
            const auto rootEnd = std::min(keyPath.find('\\'), keyPath.size());
            // The file names roots in full only, as the export format does.
            const auto rootName = asciiUpper(keyPath.substr(0, rootEnd));
            const auto root = registryRootByName(rootName);
            if (!root || rootName != registryRootFullName(*root)) {
                return RegistryParseError{lineNumber, "nieznany klucz glowny"};
            }
            const auto path = splitRegistryPath(keyPath.substr(rootEnd));
            if (!path || (rootEnd < keyPath.size() && path->empty())) {
                return RegistryParseError{lineNumber, "nieprawidlowa nazwa klucza"};
            }
            current = &document.findOrCreate(*root, *path);
            continue;
        }

        if (line.front() != '"' && line.front() != '@') {
            return RegistryParseError{lineNumber, "nieznany wiersz"};
        }
        if (current == nullptr) return RegistryParseError{lineNumber, "wartosc poza kluczem"};
        std::string_view rest = line;
        std::string error;
        RegistryValue value;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else {
            auto name = readQuoted(rest, error);
            if (!name) return RegistryParseError{lineNumber, error};
            if (name->empty())
                return RegistryParseError{lineNumber, "pusta nazwa wartosci (uzyj @)"};
            value.name = std::move(*name);
        }
        rest = trimLeft(rest);
        if (!rest.starts_with('='))
            return RegistryParseError{lineNumber, "brak znaku = po nazwie wartosci"};
        rest = trimLeft(rest.substr(1));
        if (rest.starts_with('"')) {
            auto data = readQuoted(rest, error);
            if (!data) return RegistryParseError{lineNumber, error};
            if (!trimLeft(rest).empty())
                return RegistryParseError{lineNumber, "znaki po zamknieciu napisu"};
            value.data = std::move(*data);
        } else if (rest.starts_with('-')) {
            return RegistryParseError{lineNumber,
                                      "usuwanie wartosci nie jest dozwolone w pliku rejestru"};
        } else {
            const auto prefix = typePrefixLength(rest);
            if (prefix == 0) return RegistryParseError{lineNumber, "nieznany typ danych"};
            value.isString = false;
            value.data = std::string(rest);
            // A byte list goes on in the next line while its line ends in "\".
            auto bytes = rest.substr(prefix);
            while (true) {
                const bool continued = bytes.ends_with('\\');
                if (continued) bytes.remove_suffix(1);
                const bool isDword = prefix == 6;
                const bool valid = isDword ? !continued && bytes.size() == 8 &&
                                                 std::all_of(bytes.begin(), bytes.end(), isHexDigit)
                                           : isHexList(bytes);
                if (!valid) {
                    return RegistryParseError{static_cast<int>(index + 1),
                                              "nieprawidlowe dane wartosci"};
                }
                if (!continued) break;
                if (++index == lines.size()) {
                    return RegistryParseError{static_cast<int>(index), "urwana lista bajtow"};
                }
                const auto next = trimRight(lines[index]);
                value.data += kCrLf;
                value.data += next;
                bytes = trimLeft(next);
            }
        }
        current->setValue(std::move(value));
    }
    return document;
}

std::string RegistryDocument::format() const {
    std::string out(kHeader);
    out += kCrLf;
    out += kCrLf;
    for (const auto& entry : kRegistryRoots) {
        std::string path(entry.fullName);
        formatKey(out, path, roots_[static_cast<std::size_t>(entry.root)], true);
    }
    return out;
}

RegistryKeyNode& RegistryDocument::root(RegistryRoot root) {
    return roots_[static_cast<std::size_t>(root)];
}

RegistryKeyNode* RegistryDocument::find(RegistryRoot root, const std::vector<std::string>& path) {
    RegistryKeyNode* node = &this->root(root);
    for (const auto& name : path) {
        node = node->findSubkey(name);
        if (node == nullptr) return nullptr;
    }
    return node;
}

RegistryKeyNode& RegistryDocument::findOrCreate(RegistryRoot root,
                                                const std::vector<std::string>& path) {
    RegistryKeyNode* node = &this->root(root);
    for (const auto& name : path)
        node = &node->findOrAddSubkey(name);
    return *node;
}

bool RegistryDocument::removeLeafKey(RegistryRoot root, const std::vector<std::string>& path) {
    if (path.empty()) return false;
    RegistryKeyNode* parent = find(root, {path.begin(), path.end() - 1});
    return parent != nullptr && parent->removeLeafSubkey(path.back());
}

} // namespace upkeep
