// SPDX-License-Identifier: MIT
// A stand-in for qdpcore in tests: keeps what it is given (in the
// Windows-1250 bytes it receives), logs the calls in order and fails a
// chosen call on purpose.
#pragma once

#include "package/QdpLibrary.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace xls2qdp::testing {

class FakeQdpLibrary : public QdpLibrary {
public:
    struct Field {
        std::string name, type, size, precision, description;
    };
    struct Section {
        std::string code, description;
        std::vector<Field> fields;
        std::vector<std::vector<std::string>> records; // field texts, up to their first zero
    };
    struct Document {
        std::string typeCode, description;
        std::int32_t version = 0, variant = 0;
        std::vector<Section> sections;
    };
    struct Package {
        std::int32_t version = 0;
        std::string typeCode, programCode, description, outPath, savedAs;
        std::vector<Document> documents;
    };

    std::vector<std::string> calls;               // names of the calls, in order
    std::map<std::string, std::int32_t> failWith; // call name -> code to return
    std::map<QdpHandle, Package> packages;        // live packages
    Package lastSaved;
    int cleared = 0;

    std::int32_t PaczkaC(QdpHandle* handle, std::int32_t version, const char* typeCode,
                         const char* programCode, const char* description) override {
        if (auto r = enter("PaczkaC"); r != 1) return r;
        *handle = nextHandle_++;
        packages[*handle] = {version, typeCode, programCode, description ? description : "",
                             {},      {},       {}};
        return 1;
    }
    std::int32_t CryptAlgoMode(QdpHandle, std::int32_t, std::int32_t) override {
        return enter("CryptAlgoMode");
    }
    std::int32_t CryptKeyIv(QdpHandle, const char*, const char*) override {
        return enter("CryptKeyIv");
    }
    std::int32_t SetOutPathC(QdpHandle handle, const char* folder) override {
        if (auto r = enter("SetOutPathC"); r != 1) return r;
        if (!packages.contains(handle)) return 4;
        packages[handle].outPath = folder;
        return 1;
    }
    std::int32_t AddDokumentC(QdpHandle handle, const char* typeCode, std::int32_t version,
                              std::int32_t variant, const char* description) override {
        if (auto r = enter("AddDokumentC"); r != 1) return r;
        if (!packages.contains(handle)) return 4;
        packages[handle].documents.push_back(
            {typeCode, description ? description : "", version, variant, {}});
        return 1;
    }
    std::int32_t AddSekcjaC(QdpHandle handle, const char* code, const char* description) override {
        if (auto r = enter("AddSekcjaC"); r != 1) return r;
        if (!packages.contains(handle)) return 4;
        if (packages[handle].documents.empty()) return 8;
        packages[handle].documents.back().sections.push_back(
            {code, description ? description : "", {}, {}});
        return 1;
    }
    std::int32_t AddDefPolC(QdpHandle handle, const char* name, const char* type, const char* size,
                            const char* precision, const char* description) override {
        if (auto r = enter("AddDefPolC"); r != 1) return r;
        Section* s = currentSection(handle);
        if (!s) return 9;
        s->fields.push_back({name, type, size, precision, description ? description : ""});
        return 1;
    }
    std::int32_t SetDefPolExt(QdpHandle, std::int32_t, std::int32_t, const char*, const char*,
                              const char*, std::int32_t, std::int32_t, std::int32_t) override {
        return enter("SetDefPolExt");
    }
    std::int32_t AddRekordC(QdpHandle handle, char* record) override {
        if (auto r = enter("AddRekordC"); r != 1) return r;
        Section* s = currentSection(handle);
        if (!s) return 9;
        if (s->fields.empty()) return 16;
        std::vector<std::string> values;
        std::size_t offset = 0;
        for (const Field& f : s->fields) {
            std::size_t size = std::stoul(f.size);
            values.emplace_back(record + offset, strnlen(record + offset, size));
            offset += size + 1;
        }
        s->records.push_back(std::move(values));
        return 1;
    }
    std::int32_t SaveC(QdpHandle handle, const char* path) override {
        if (auto r = enter("SaveC"); r != 1) return r;
        if (!packages.contains(handle)) return 4;
        packages[handle].savedAs = path;
        lastSaved = packages[handle];
        return 1;
    }
    std::int32_t Clear(QdpHandle handle) override {
        if (auto r = enter("Clear"); r != 1) return r;
        if (packages.erase(handle) == 0) return 4;
        ++cleared;
        return 1;
    }

private:
    std::int32_t enter(const char* name) {
        calls.push_back(name);
        auto it = failWith.find(name);
        return it == failWith.end() ? 1 : it->second;
    }
    Section* currentSection(QdpHandle handle) {
        auto it = packages.find(handle);
        if (it == packages.end() || it->second.documents.empty() ||
            it->second.documents.back().sections.empty())
            return nullptr;
        return &it->second.documents.back().sections.back();
    }
    QdpHandle nextHandle_ = 7;
};

} // namespace xls2qdp::testing
