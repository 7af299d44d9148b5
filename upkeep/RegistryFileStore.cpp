// SPDX-License-Identifier: MIT
// The registry kept in one registry-export text file, for platforms without a
// system registry.
#include "AtomicFile.h"
#include "FileLock.h"
#include "Registry.h"
#include "RegistryDocument.h"
#include "SystemFailure.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>
#include <variant>

namespace upkeep {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string registryFilePath() {
    if (auto path = environment("UPKEEP_REGISTRY"); !path.empty()) return path;
    auto config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        auto home = environment("HOME");
        if (home.empty()) {
            const passwd* user = ::getpwuid(::getuid());
            if (user != nullptr && user->pw_dir != nullptr) home = user->pw_dir;
        }
        if (home.empty()) {
            throw SystemFailure(
                "Nie mozna ustalic polozenia pliku rejestru: brak katalogu domowego");
        }
        config = home + "/.config";
    }
    return config + "/upkeep/registry.reg";
}

} // namespace

struct Registry::Store {
    std::string path;
    std::unique_ptr<FileLock> lock;
    RegistryDocument document;

    Store() : path(followLinks(registryFilePath())) {
        const auto folder = std::filesystem::path(path).parent_path();
        std::error_code error;
        if (!folder.empty()) std::filesystem::create_directories(folder, error);
        if (error) throw SystemFailure(folder.string() + ": " + error.message());
        lock = std::make_unique<FileLock>(path);
        const auto text = readFileIfExists(path);
        if (!text) return;
        auto parsed = RegistryDocument::parse(*text);
        if (const auto* failure = std::get_if<RegistryParseError>(&parsed)) {
            throw SystemFailure("Nieprawidlowy plik rejestru " + path + ", wiersz " +
                                std::to_string(failure->line) + ": " + failure->message +
                                " (plik pozostawiono bez zmian)");
        }
        document = std::move(std::get<RegistryDocument>(parsed));
    }

    void save() { replaceFileContents(path, document.format()); }

    RegistryKeyNode* find(RegistryRoot root, std::string_view path) {
        const auto names = splitRegistryPath(path);
        return names ? document.find(root, *names) : nullptr;
    }
};

Registry::Registry() = default;
Registry::~Registry() = default;

// The file is read and locked on first use, so that a run that never touches
// the registry never waits for it.
Registry::Store& Registry::store() {
    if (!store_) store_ = std::make_unique<Store>();
    return *store_;
}

bool Registry::openKey(RegistryRoot root, std::string_view path, bool create) {
    Store& files = store();
    const auto names = splitRegistryPath(path);
    if (!names) return false;
    if (files.document.find(root, *names) != nullptr) return true;
    if (!create) return false;
    files.document.findOrCreate(root, *names);
    files.save();
    return true;
}

std::optional<std::vector<std::string>> Registry::subkeys(RegistryRoot root,
                                                          std::string_view path) {
    const RegistryKeyNode* key = store().find(root, path);
    if (key == nullptr) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& subkey : key->subkeys)
        names.push_back(subkey.name);
    return names;
}

bool Registry::deleteKey(RegistryRoot root, std::string_view path) {
    Store& files = store();
    const auto names = splitRegistryPath(path);
    if (!names || !files.document.removeLeafKey(root, *names)) return false;
    files.save();
    return true;
}

bool Registry::deleteValue(RegistryRoot root, std::string_view path, std::string_view name) {
    Store& files = store();
    RegistryKeyNode* key = files.find(root, path);
    if (key == nullptr) return false;
    const RegistryValue* value = key->findValue(name);
    if (value == nullptr) return false;
    key->values.erase(key->values.begin() + (value - key->values.data()));
    files.save();
    return true;
}

bool Registry::setString(RegistryRoot root, std::string_view path, std::string_view name,
                         std::string_view value) {
    Store& files = store();
    RegistryKeyNode* key = files.find(root, path);
    if (key == nullptr || !isStorableRegistryText(name) || !isStorableRegistryText(value)) {
        return false;
    }
    if (RegistryValue* existing = key->findValue(name)) {
        existing->isString = true;
        existing->data = value;
    } else {
        key->values.push_back(RegistryValue{std::string(name), true, std::string(value)});
    }
    files.save();
    return true;
}

} // namespace upkeep
