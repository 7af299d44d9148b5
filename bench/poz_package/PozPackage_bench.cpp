// SPDX-License-Identifier: MIT
// Building the POZ declaration package from a working table of N rows:
// the whole path through the package layer (values, Windows-1250
// conversion, checks, record text) into qdpcore and the saved file, and the
// layer alone over a library that drops what it gets.
#include "common/testing/RecordingSink.h"
#include "declarations/QdpPOZPaczka.h"
#include "declarations/testing/PozTestTable.h"
#include "package/testing/FakeQdpLibrary.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

using namespace xls2qdp;

InMemoryWorkingTable makeTable(int rows) {
    InMemoryWorkingTable table = testing::emptyPozTable();
    for (int i = 0; i < rows; ++i) {
        std::string id = std::to_string(i + 1);
        table.addRow({{"LID_DEKL", id},
                      {"RODZAJ_LISTY", "L"},
                      {"NAZWISKO", "Brzęczyszczykiewicz-" + id},
                      {"IMIE", "Małgorzata"},
                      {"PESEL", "04231512345"},
                      {"DATA_UR", "15-03-2004"},
                      {"PLEC", "K"},
                      {"FL_CUDZ", i % 10 == 0 ? "T" : "N"},
                      {"KOD_PLATNIKA", "07"},
                      {"MIASTO_ST", "Łódź"},
                      {"KOD_POCZT_ST", "90-001"},
                      {"ULICA_ST", "Piotrkowska"},
                      {"NR_DOMU_ST", "12"},
                      {"ZGL_OSOBISTE", i % 3 == 0 ? "N" : "T"},
                      {"NAZWISKO_ZGL", "Żółkiewski"},
                      {"RODZAJ_UB", "00"},
                      {"DATA_PODPISANIA", "01-02-2005"},
                      {"GODZ_PODPISANIA", "00"},
                      {"NAZWISKO_LEK", "Nowak"},
                      {"IMIONA_LEK", "Jan"},
                      {"FL_WYCOF", "0"},
                      {"DATA_MOD", "03-02-2005"},
                      {"DATA_WPROW", "03-02-2005"},
                      {"WERSJA_DEKL", "1"}});
    }
    return table;
}

// A library that accepts everything and keeps nothing.
class DroppingLibrary : public testing::FakeQdpLibrary {
public:
    std::int32_t AddRekordC(QdpHandle, char* record) override {
        benchmark::DoNotOptimize(record);
        return 1;
    }
};

void BM_PozPackageSaved(benchmark::State& state) {
    InMemoryWorkingTable table = makeTable(static_cast<int>(state.range(0)));
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("poz_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string output = (folder / "dbench.qdp").string();
    testing::RecordingSink sink;
    for (auto _ : state) {
        TQDPPOZPaczka package({nullptr, &sink});
        package.fInitPOZ("000123", "KS-0001", 4, 1, &table);
        if (package.fMakePaczka(output, folder.string(), true) != 1)
            state.SkipWithError("package not written");
    }
    state.counters["rows/s"] = benchmark::Counter(
        static_cast<double>(state.range(0) * state.iterations()), benchmark::Counter::kIsRate);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PozPackageSaved)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PozPackageLayerOnly(benchmark::State& state) {
    InMemoryWorkingTable table = makeTable(static_cast<int>(state.range(0)));
    testing::RecordingSink sink;
    for (auto _ : state) {
        DroppingLibrary library;
        TQDPPOZPaczka package({&library, &sink});
        package.fInitPOZ("000123", "KS-0001", 4, 1, &table);
        if (package.fMakePaczka("/dev/null/unused.qdp", "", false) != 1)
            state.SkipWithError("package not built");
    }
    state.counters["rows/s"] = benchmark::Counter(
        static_cast<double>(state.range(0) * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PozPackageLayerOnly)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
