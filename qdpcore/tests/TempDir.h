// SPDX-License-Identifier: MIT
// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace qdptest {

class TempDir {
public:
    TempDir() {
#if defined(_WIN32)
        // No mkdtemp there: a random name that create_directory finds free.
        std::random_device random;
        for (int tries = 0; tries < 100 && path_.empty(); ++tries) {
            const auto candidate =
                std::filesystem::temp_directory_path() / ("qdpcore" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) path_ = candidate;
        }
        if (path_.empty()) throw std::runtime_error("no temporary folder");
#else
        std::string pattern = (std::filesystem::temp_directory_path() / "qdpcoreXXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
#endif
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const {
        return path_;
    }
    // The folder as the library takes it: with a trailing separator.
    std::string prefix() const {
        return path_.string() + "/";
    }
    std::string file(const std::string& name) const {
        return (path_ / name).string();
    }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path_)) {
            out.push_back(e.path().filename().string());
        }
        return out;
    }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Changes the working directory for the life of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& to)
        : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(to);
    }
    ~WorkingDirectory() {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
    }

private:
    std::filesystem::path saved_;
};

} // namespace qdptest
