// SPDX-License-Identifier: MIT
#include "CliApp.h"

#include "CliFrontEnd.h"
#include "CliOptions.h"
#include "common/FileReplacement.h"
#include "common/ProgramLocations.h"
#include "common/Startup.h"
#include "engine/DefaultImportServices.h"
#include "engine/ImportWorkflow.h"
#include "import/conversion/ImportReport.h"

#include <istream>
#include <ostream>

namespace xls2qdp::cli {

namespace {

namespace fs = std::filesystem;

class SilentSink : public MessageSink {
public:
    void show(MessageKind, std::string_view) override {}
};

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
    case ImportResult::WorkbookNotOpened:
    case ImportResult::WrongHeader:
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
    const StartupResult startup = runStartup(locations.iniFile, locations.programDir, frontEnd);
    if (startup.terminate) return kExitBadArgumentsOrSettings;

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
    if (outcome.succeeded() && !report.empty())
        environment.err << "Raport importu:\n" << report.summary() << '\n';
    if (!options->report.empty() && outcome.stage >= 3) {
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
