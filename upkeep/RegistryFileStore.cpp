// SPDX-License-Identifier: MIT
// The registry kept in one registry-export text file, for platforms without a
// system registry.
#include "LockedFile.h"
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
    // None when there is no registry file and the run makes none.
    std::unique_ptr<LockedFile> file;
    RegistryDocument document;
    bool changed = false;

    explicit Store(bool createFile) {
        const std::string path = registryFilePath();
        if (createFile) {
            const auto folder = std::filesystem::path(path).parent_path();
            std::error_code error;
            if (!folder.empty()) std::filesystem::create_directories(folder, error);
            if (error) throw SystemFailure(folder.string() + ": " + error.message());
        }
        file = std::make_unique<LockedFile>(path, createFile ? LockedFile::IfMissing::Create
                                                             : LockedFile::IfMissing::Skip);
        if (!file->exists()) {
            file.reset();
            return;
        }
        auto parsed = RegistryDocument::parse(file->contents());
        if (const auto* failure = std::get_if<RegistryParseError>(&parsed)) {
            throw SystemFailure("Nieprawidlowy plik rejestru " + file->path() + ", wiersz " +
                                std::to_string(failure->line) + ": " + failure->message +
                                " (plik pozostawiono bez zmian)");
        }
        document = std::move(std::get<RegistryDocument>(parsed));
    }

    RegistryKeyNode* find(RegistryRoot root, std::string_view path) {
        const auto names = splitRegistryPath(path);
        return names ? document.find(root, *names) : nullptr;
    }
};

Registry::Registry() = default;
Registry::~Registry() = default;

// The file is read and locked on first use, so that a run that never touches
// the registry never waits for it; only a first call that may create a key
// makes a missing file.
Registry::Store& Registry::store(bool createFile) {
    if (!store_) store_ = std::make_unique<Store>(createFile);
    return *store_;
}

bool Registry::openKey(RegistryRoot root, std::string_view path, bool create) {
    Store& files = store(create);
    const auto names = splitRegistryPath(path);
    if (!names) return false;
    if (files.document.find(root, *names) != nullptr) return true;
    if (!create || !files.file) return false;
    files.document.findOrCreate(root, *names);
    files.changed = true;
    return true;
}

std::optional<std::vector<std::string>> Registry::subkeys(RegistryRoot root,
                                                          std::string_view path) {
    const RegistryKeyNode* key = store(false).find(root, path);
    if (key == nullptr) return std::nullopt;
    std::vector<std::string> names;
    for (const RegistryKeyNode* subkey : key->subkeys())
        names.push_back(subkey->name);
    return names;
}

bool Registry::deleteKey(RegistryRoot root, std::string_view path) {
    Store& files = store(false);
    const auto names = splitRegistryPath(path);
    if (!names || !files.document.removeLeafKey(root, *names)) return false;
    files.changed = true;
    return true;
}

bool Registry::deleteValue(RegistryRoot root, std::string_view path, std::string_view name) {
    Store& files = store(false);
    RegistryKeyNode* key = files.find(root, path);
    if (key == nullptr || !key->removeValue(name)) return false;
    files.changed = true;
    return true;
}

bool Registry::setString(RegistryRoot root, std::string_view path, std::string_view name,
                         std::string_view value) {
    Store& files = store(false);
    RegistryKeyNode* key = files.find(root, path);
    if (key == nullptr || !isStorableRegistryText(name) || !isStorableRegistryText(value)) {
        return false;
    }
    // Setting what is there already changes nothing.
    const RegistryValue* existing = key->findValue(name);
    if (existing != nullptr && existing->isString && existing->data == value) return true;
    key->setValue(RegistryValue{std::string(name), true, std::string(value)});
    files.changed = true;
    return true;
}

void Registry::commit() {
    if (!store_ || !store_->changed || !store_->file) return;
    store_->file->replace(store_->document.format());
    store_->changed = false;
}

} // namespace upkeep
