// SPDX-License-Identifier: MIT
// Reading speed: walking every record of a 100,000-record package through
// the exported interface, beside "cat FILE > /dev/null" of the same file in
// the same run. Both report bytes per second of the package file.
#include <qdpcore/qdpcore.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kRecords = 100000;
constexpr int kFields = 62;

// Field sizes of a 62-field layout with a record of about 750 bytes, like
// the declaration package.
int fieldSize(int i) {
    static constexpr int kSizes[] = {11, 8, 20, 3, 10, 6, 15, 1, 30, 4, 12};
    return kSizes[i % 11];
}

class BenchPackage {
public:
    BenchPackage() {
        std::string folder = (std::filesystem::temp_directory_path() / "qdpreadXXXXXX").string();
        if (mkdtemp(folder.data()) == nullptr) std::abort();
        folder_ = folder;
        path_ = folder_ + "/bench.qdp";
        QdpHandle h = 0;
        bool ok = PaczkaC(&h, 1, "BENCH", "BENCH", "") == QDP_OK &&
                  SetOutPathC(h, (folder_ + "/").c_str()) == QDP_OK &&
                  AddDokumentC(h, "DOK", 4, 1, nullptr) == QDP_OK &&
                  AddSekcjaC(h, "S", nullptr) == QDP_OK;
        recordLength_ = 2;
        for (int i = 0; ok && i < kFields; ++i) {
            ok = AddDefPolC(h, ("POLE" + std::to_string(i)).c_str(), "C",
                            std::to_string(fieldSize(i)).c_str(), "0", nullptr) == QDP_OK;
            recordLength_ += static_cast<std::size_t>(fieldSize(i)) + 1;
        }
        std::vector<char> record(recordLength_, '\0');
        for (int r = 0; ok && r < kRecords; ++r) {
            std::snprintf(record.data(), 11, "%010d", r);
            ok = AddRekordC(h, record.data()) == QDP_OK;
        }
        ok = ok && SaveC(h, path_.c_str()) == QDP_OK;
        Clear(h);
        if (!ok) {
            std::fprintf(stderr, "cannot build the benchmark package\n");
            std::abort();
        }
        size_ = std::filesystem::file_size(path_);
    }
    ~BenchPackage() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    const std::string& path() const { return path_; }
    std::size_t size() const { return size_; }
    std::size_t recordLength() const { return recordLength_; }

private:
    std::string folder_;
    std::string path_;
    std::size_t size_ = 0;
    std::size_t recordLength_ = 0;
};

const BenchPackage& package() {
    static const BenchPackage p;
    return p;
}

void BM_CatFile(benchmark::State& state) {
    const std::string command = "cat '" + package().path() + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("cat failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * package().size()));
}

void BM_WalkRecords(benchmark::State& state) {
    std::vector<char> record(package().recordLength());
    for (auto _ : state) {
        QdpHandle h = 0;
        if (ReadPaczkaHeadC(&h, package().path().c_str(), nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr) != QDP_OK ||
            SetCurrentSekcja(h, 0) != QDP_OK) {
            state.SkipWithError("cannot open the package");
            break;
        }
        int records = 0;
        while (ReadRecordC(h, record.data()) == QDP_OK)
            ++records;
        benchmark::DoNotOptimize(record.data());
        Clear(h);
        if (records != kRecords) state.SkipWithError("not every record was read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * package().size()));
    state.counters["records"] = kRecords;
}

} // namespace

BENCHMARK(BM_CatFile)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_WalkRecords)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

BENCHMARK_MAIN();
