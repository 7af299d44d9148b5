// SPDX-License-Identifier: MIT
// Time to read a generated declaration workbook of N rows (.xlsx and .csv):
// open it, check the header, take every data row as the import does.
// The workbooks are made once per run by gen_declarations in a temporary
// folder. For the comparison with openpyxl and for memory, see
// read_workbook.sh.
#include "import/sheets/DeclarationSheet.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path& Workbook(long rows, const std::string& extension) {
    static std::map<std::string, fs::path> made;
    const std::string key = std::to_string(rows) + extension;
    auto it = made.find(key);
    if (it != made.end()) return it->second;
    const fs::path folder = fs::temp_directory_path() / "qdp-bench-read";
    fs::create_directories(folder);
    const fs::path file = folder / ("declarations-" + key);
    if (!fs::exists(file)) {
        const std::string command =
            std::string(GEN_DECLARATIONS) + " --rows " + std::to_string(rows) + " " + file.string();
        if (std::system(command.c_str()) != 0) std::abort();
    }
    return made.emplace(key, file).first->second;
}

void ReadDeclarations(benchmark::State& state, const std::string& extension) {
    const fs::path& file = Workbook(state.range(0), extension);
    long rows = 0;
    for (auto _ : state) {
        xls2qdp::DeclarationSheet sheet(file);
        if (sheet.CheckSheetStructure() != 0) state.SkipWithError("wrong header");
        xls2qdp::DeclarationRow row;
        rows = 0;
        while (sheet.ReadSheetRow(row))
            ++rows;
        benchmark::DoNotOptimize(row);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows_per_s"] = benchmark::Counter(
        static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK_CAPTURE(ReadDeclarations, xlsx, std::string(".xlsx"))
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadDeclarations, csv, std::string(".csv"))
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
