// SPDX-License-Identifier: MIT
#include "CliApp.h"

#include "CliFrontEnd.h"
#include "CliOptions.h"
#include "common/FileErrorText.h"
#include "common/FileReplacement.h"
#include "common/FolderAccess.h"
#include "common/ProgramLocations.h"
#include "common/Startup.h"
#include "engine/DefaultImportServices.h"
#include "engine/ImportWorkflow.h"
#include "import/conversion/ImportReport.h"

#include <cerrno>
#include <istream>
#include <ostream>

#ifdef _WIN32
#include <io.h>
#define W_OK 2
#else
#include <unistd.h>
#endif

namespace xls2qdp::cli {

namespace {

namespace fs = std::filesystem;

class SilentSink : public MessageSink {
public:
    void show(MessageKind, std::string_view) override {}
};

// Why the report cannot be saved under that name. A file that is there (a
// link's target, a device) is written in place when need be, so it only has
// to be writable; a new one needs a folder that takes new files.
std::string reportFileProblem(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::directory) return "To jest katalog, a nie plik.";
    if (fs::exists(status)) {
        if (::access(file.c_str(), W_OK) == 0) return {};
        return "Plik „" + file.string() +
               "”: " + describeFileError({errno, std::generic_category()}) + ".";
    }
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const std::string problem = folderWriteProblem(folder);
    if (problem.empty()) return {};
    return "Katalog „" + folder.string() + "”: " + problem + ".";
}

int exitCodeFor(const ImportOutcome& outcome) {
    switch (outcome.result) {
    case ImportResult::Succeeded:
        return kExitSuccess;
    case ImportResult::DataFileMissing:
    case ImportResult::CityDictionaryDeclined:
    case ImportResult::WorkTableError:
    case ImportResult::DictionaryError:
        return kExitBadArgumentsOrSettings;
    case ImportResult::NoWorkbookChosen:
    case ImportResult::WorkbookMissing:
    case ImportResult::NoFolderChosen:
    case ImportResult::FolderMissing:
    case ImportResult::FolderNotWritable:
    case ImportResult::WorkbookNotOpened:
    case ImportResult::EmptySheet:
    case ImportResult::WrongHeader:
    case ImportResult::ColumnsShifted:
    case ImportResult::NoDeclarations:
        return kExitInputProblem;
    case ImportResult::Aborted:
        return kExitInterrupted;
    case ImportResult::OutputNameFailed:
    case ImportResult::PackageInitFailed:
    case ImportResult::PackageNotWritten:
        return kExitNotWritten;
    case ImportResult::Failed:
        // A damaged workbook shows while it is read; the rest is the package's.
        if (outcome.stage == 0) return kExitBadArgumentsOrSettings;
        return outcome.stage < 3 ? kExitInputProblem : kExitNotWritten;
    }
    return kExitNotWritten;
}

} // namespace

int runCli(const std::vector<std::string>& arguments, const CliEnvironment& environment) {
    std::string error;
    const auto options = parseCliOptions(arguments, error);
    if (!options) {
        environment.err << "BŁĄD: " << error << "\n\n" << kUsageText;
        return kExitBadArgumentsOrSettings;
    }
    if (options->command == CliOptions::Command::Help) {
        environment.out << kUsageText;
        return kExitSuccess;
    }

    CliFrontEnd frontEnd(environment, options->yes);
    const ProgramLocations locations = findProgramLocations(environment.programDir, options->ini);

    if (options->command == CliOptions::Command::Version) {
        // The version needs no settings: their messages are not shown here.
        SilentSink silent;
        const StartupResult startup = runStartup(locations.iniFile, locations.programDir, silent);
        const AboutTexts texts = startup.info.BuildAboutTexts(startup.version);
        environment.out << "xls2qdp-cli " << versionLabelText(startup.version) << '\n'
                        << texts.system << '\n'
                        << texts.module << '\n';
        return kExitSuccess;
    }
    const StartupResult startup =
        runStartup(locations.iniFile, locations.programDir, frontEnd, locations.sampleIniFile);
    if (startup.terminate) return kExitBadArgumentsOrSettings;

    // The report's place is checked before any work, not after the package.
    if (!options->report.empty()) {
        if (const std::string problem = reportFileProblem(options->report); !problem.empty()) {
            frontEnd.show(MessageKind::Error, "Nie można zapisać raportu importu w pliku: " +
                                                  options->report + "\n" + problem);
            return kExitInputProblem;
        }
    }

    ImportRequest request;
    std::error_code ignored;
    request.workbookFile = options->workbook;
    // The package's full path is what the caller gets on stdout.
    if (!options->target.empty())
        request.targetFolder = fs::absolute(options->target, ignored).string();
    else // as the desktop dialog does: the workbook's own folder
        request.targetFolder = fs::absolute(options->workbook, ignored).parent_path().string();

    const ImportLocations importLocations{locations.workingTableDir, locations.dictionaryDir};
    std::unique_ptr<DefaultImportServices> services;
    try {
        ensureWorkingTable(locations);
        services = std::make_unique<DefaultImportServices>(importLocations, startup.settings);
    } catch (const std::exception& failure) {
        frontEnd.show(MessageKind::Error, failure.what());
        return kExitBadArgumentsOrSettings;
    }

    ImportWorkflow workflow(importLocations, *services);
    const ImportOutcome outcome = workflow.run(request, frontEnd);

    const ImportReport& report = services->report();
    int code = exitCodeFor(outcome);
    if (outcome.hasSummary) {
        environment.err << "Podsumowanie importu:\n";
        for (const std::string& line : outcome.summary.lines())
            environment.err << line << '\n';
    }
    if (!options->report.empty() && outcome.hasSummary) {
        if (std::error_code reason; !report.saveCsv(options->report, reason)) {
            frontEnd.show(MessageKind::Error,
                          "Nie można zapisać raportu importu w pliku: " + options->report + " (" +
                              describeFileError(reason) + ")");
            if (code == kExitSuccess) code = kExitNotWritten;
        }
    }
    if (outcome.succeeded()) environment.out << outcome.packageFile.string() << std::endl;
    return code;
}

} // namespace xls2qdp::cli
