// SPDX-License-Identifier: MIT
// One import's stage 2 on a real workbook, measured:
//   import_pipeline WORKBOOK DICTIONARY_DIR [VOIVODESHIP]
// Pass 1 reads every declaration row, converts it, looks its addresses up in
// the dictionaries and stores it in a scratch working table, in one run
// transaction, through the same services an import run uses. The peak memory is taken right after
// it. Pass 2 reads the workbook again and only times the four address lookups of every row on fresh
// dictionaries (so no result is remembered from pass 1); pass 3 only reads. Output: one "key value"
// line per figure.
#include "engine/DefaultImportServices.h"
#include "import/conversion/DictionaryLookups.h"
#include "import/conversion/ImportReport.h"
#include "import/sheets/DeclarationSheet.h"
#include "import/store/WorkingTable.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakMemoryKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: import_pipeline WORKBOOK DICTIONARY_DIR [VOIVODESHIP]\n");
        return 2;
    }
    const std::filesystem::path workbook = argv[1];
    const std::filesystem::path dictionaries = argv[2];
    const std::string voivodeship = argc > 3 ? argv[3] : "12";
    std::random_device random;
    const auto scratch =
        std::filesystem::temp_directory_path() / ("import-pipeline-" + std::to_string(random()));
    std::filesystem::create_directories(scratch);
    int status = 0;
    try {
        using namespace xls2qdp;
        store::WorkingTable::create(scratch / store::WorkingTable::kFileName);

        // Pass 1: the whole stage 2, through the services an import run uses.
        std::size_t rows = 0;
        double pipelineSeconds = 0;
        double pipelineCpuSeconds = 0;
        std::size_t reportEntries = 0;
        {
            GlobalVar settings;
            settings.NrInstalacji = "123456789";
            settings.KodSwiadcz = "1234567890";
            settings.KodOddzialuNFZ = "07";
            settings.KodWojew = voivodeship;
            DefaultImportServices services({scratch, dictionaries}, settings);
            std::string failure;
            auto run = services.declarations().open(failure);
            if (!run) throw std::runtime_error("cannot empty the table: " + failure);
            if (run->openDictionaries(false).result != DictionaryOpenResult::Opened)
                throw std::runtime_error("cannot open the dictionaries");
            const auto start = Clock::now();
            const double cpuStart = cpuSeconds();
            auto sheet = services.workbooks().open(workbook);
            if (sheet->checkHeader().column != 0) throw std::runtime_error("wrong header row");
            while (const DeclarationRow* row = sheet->nextRow()) {
                run->append(*row);
                ++rows;
            }
            // Keeps the rows, as a run does before the package is built.
            run->commit();
            pipelineSeconds = secondsSince(start);
            pipelineCpuSeconds = cpuSeconds() - cpuStart;
            reportEntries = services.report().size();
        }
        const long peak = peakMemoryKilobytes();
        std::printf("rows %zu\n", rows);
        std::printf("report_entries %zu\n", reportEntries);
        std::printf("pipeline_seconds %.3f\n", pipelineSeconds);
        std::printf("pipeline_cpu_seconds %.3f\n", pipelineCpuSeconds);
        std::printf("peak_memory_mb %.1f\n", static_cast<double>(peak) / 1024.0);
        std::fflush(stdout);
        if (std::getenv("IMPORT_PIPELINE_ONLY")) {
            std::filesystem::remove_all(scratch);
            return 0;
        }

        // Pass 2: the lookups alone.
        double lookupSeconds = 0;
        {
            store::CommuneDictionary communes;
            store::CityDictionary cities;
            communes.open(dictionaries / store::CommuneDictionary::kFileName);
            cities.open(dictionaries / store::CityDictionary::kFileName);
            DictionaryLookups lookups(communes, &cities, voivodeship);
            DeclarationSheet sheet(workbook);
            sheet.CheckSheetStructure();
            DeclarationRow row;
            std::size_t found = 0;
            while (sheet.ReadSheetRow(row)) {
                const auto start = Clock::now();
                for (const auto& [commune, city] : {std::pair{"U", "Q"}, std::pair{"AB", "X"}}) {
                    const auto code =
                        lookups.FindCommuneCode(row.column(commune), row.column(city));
                    if (code.found() && lookups.FindCityCode(code.code, row.column(city)).found())
                        ++found;
                }
                lookupSeconds += secondsSince(start);
            }
            std::printf("addresses_placed %zu\n", found);
        }

        // Pass 3: reading alone.
        double readSeconds = 0;
        double readCpuSeconds = 0;
        {
            const auto start = Clock::now();
            const double cpuStart = cpuSeconds();
            DeclarationSheet sheet(workbook);
            sheet.CheckSheetStructure();
            DeclarationRow row;
            while (sheet.ReadSheetRow(row)) {
            }
            readSeconds = secondsSince(start);
            readCpuSeconds = cpuSeconds() - cpuStart;
        }

        std::printf("lookup_seconds %.3f\n", lookupSeconds);
        std::printf("read_seconds %.3f\n", readSeconds);
        std::printf("read_cpu_seconds %.3f\n", readCpuSeconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "import_pipeline: %s\n", e.what());
        status = 1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return status;
}
