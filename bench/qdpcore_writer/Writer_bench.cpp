// SPDX-License-Identifier: MIT
// Two properties of the package writer, through its C interface:
//  - PeakMemory/N: records go to temporary files as they are added, so the
//    peak resident memory of a process that adds N records of the 62-field
//    layout stays flat (counter peak_rss_kb, measured in a child process).
//  - SaveVersusCopy: saving a package of 100000 such records (about 75 MB)
//    over an existing one against copying a file of the same size twice,
//    timed in the same run (counters save_ms, copy2_ms and ratio = save /
//    two copies); save_new_ms is a save under a new name, as the importer
//    saves (a new file is not flushed to the disk first: it replaces
//    nothing).
// Run: qdpcore_writer_bench [--benchmark_filter=...]; files go to $TMPDIR.
#include <qdpcore/qdpcore.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// 62 fields: 60 of 11 bytes and 2 of 13, record length 2 + 686 + 62 = 750.
constexpr int kFields = 62;
int fieldSize(int i) {
    return i < 60 ? 11 : 13;
}

struct Folder {
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "qdpbenchXXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        path = pattern;
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

// Builds a package of records records in folder; returns its handle.
QdpHandle buildPackage(const fs::path& folder, int records) {
    QdpHandle h = 0;
    const std::string prefix = folder.string() + "/";
    if (PaczkaC(&h, 1, "BENCH", "BENCH", "") != QDP_OK ||
        SetOutPathC(h, prefix.c_str()) != QDP_OK ||
        AddDokumentC(h, "DOK", 4, 1, nullptr) != QDP_OK ||
        AddSekcjaC(h, "SEK", nullptr) != QDP_OK) {
        std::abort();
    }
    std::size_t length = 2;
    for (int i = 0; i < kFields; ++i) {
        const std::string name = "POLE" + std::to_string(i);
        const std::string size = std::to_string(fieldSize(i));
        if (AddDefPolC(h, name.c_str(), i % 3 == 0 ? "N" : "C", size.c_str(), "0", nullptr) !=
            QDP_OK) {
            std::abort();
        }
        length += static_cast<std::size_t>(fieldSize(i)) + 1;
    }
    std::vector<char> record(length, '\0');
    for (int r = 0; r < records; ++r) {
        std::size_t o = 0;
        for (int i = 0; i < kFields; ++i) {
            std::snprintf(record.data() + o, static_cast<std::size_t>(fieldSize(i)) + 1, "%0*d",
                          fieldSize(i), r + i);
            o += static_cast<std::size_t>(fieldSize(i)) + 1;
        }
        if (AddRekordC(h, record.data()) != QDP_OK) std::abort();
    }
    return h;
}

long childPeakRssKb(int records) {
    Folder folder;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const QdpHandle h = buildPackage(folder.path, records);
        Clear(h);
        ::_exit(0);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    return usage.ru_maxrss;
}

void PeakMemory(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    long peak = 0;
    for (auto _ : state)
        peak = childPeakRssKb(records);
    state.counters["peak_rss_kb"] = static_cast<double>(peak);
    state.counters["records"] = records;
}
BENCHMARK(PeakMemory)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

double copyFileMs(const fs::path& from, const fs::path& to) {
    const auto start = std::chrono::steady_clock::now();
    std::error_code ec;
    fs::remove(to, ec);
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    std::vector<char> buffer(100000);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        out.write(buffer.data(), in.gcount());
    }
    out.close();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void SaveVersusCopy(benchmark::State& state) {
    Folder folder;
    const QdpHandle h = buildPackage(folder.path, static_cast<int>(state.range(0)));
    const fs::path output = folder.path / "package.qdp";
    if (SaveC(h, output.c_str()) != QDP_OK) std::abort(); // warm the caches
    double saveMs = 0, copyMs = 0, saveNewMs = 0;
    for (auto _ : state) {
        const fs::path fresh = folder.path / "new.qdp";
        const auto startNew = std::chrono::steady_clock::now();
        if (SaveC(h, fresh.c_str()) != QDP_OK) std::abort();
        saveNewMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - startNew)
                .count();
        fs::remove(fresh);
        const auto start = std::chrono::steady_clock::now();
        if (SaveC(h, output.c_str()) != QDP_OK) std::abort();
        const double save =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const double copy =
            copyFileMs(output, folder.path / "copy1") + copyFileMs(output, folder.path / "copy2");
        saveMs += save;
        copyMs += copy;
        state.SetIterationTime(save / 1000.0);
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(output));
    state.counters["save_ms"] = saveMs / static_cast<double>(state.iterations());
    state.counters["copy2_ms"] = copyMs / static_cast<double>(state.iterations());
    state.counters["ratio"] = saveMs / copyMs;
    state.counters["save_new_ms"] = saveNewMs / static_cast<double>(state.iterations());
    Clear(h);
}
BENCHMARK(SaveVersusCopy)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

BENCHMARK_MAIN();
