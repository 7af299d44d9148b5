// SPDX-License-Identifier: MIT
// What an import run tells its front end and asks of it. The desktop dialog
// turns these calls into labels, message boxes and focus changes; the command
// line into progress lines and stderr messages. A run calls them on the
// thread it runs on; a front end that runs the import off its UI thread
// passes them across itself.
#pragma once

#include "common/MessageSink.h"

#include <string>
#include <string_view>

namespace xls2qdp {

enum class ImportStage { SheetStructure = 1, ReadingRows = 2, WritingPackage = 3 };

// The label of a stage as every front end shows it; the rows stage is
// followed by the sheet row reached, the package stage by ": " and the new
// file's name once it is written.
constexpr std::string_view stageLabel(ImportStage stage) {
    switch (stage) {
    case ImportStage::SheetStructure:
        return "1. Struktura arkusza MS Excel";
    case ImportStage::ReadingRows:
        return "2. Odczytanych wierszy z XLS: ";
    case ImportStage::WritingPackage:
        return "3. Zapis danych do pliku QDP";
    }
    return {};
}

// Appended to the first stage's label once the header row is right.
inline constexpr std::string_view kHeaderRowAccepted = " - prawidłowa";

// The input fields a failed check points the user back to.
enum class ImportField { WorkbookFile, TargetFolder };

class ImportFrontEnd {
public:
    virtual ~ImportFrontEnd() = default;

    // Where every message of the run goes (the package layer's included).
    virtual MessageSink& messages() = 0;
    // A Yes/No confirmation; true for Yes.
    virtual bool askYesNo(std::string_view question) = 0;
    // Polled after every sheet row: true stops the run before that row is written.
    virtual bool abortRequested() = 0;

    // Every check passed; folder is the target folder with its trailing delimiter.
    virtual void conditionsMet(const std::string&) {}
    virtual void stageStarted(ImportStage) {}
    // The header row is right: stage 1 gets " - prawidłowa", stage 2 starts at 0.
    virtual void sheetStructureAccepted() {}
    // The sheet row reached; called every tenth row and once with the last data row.
    virtual void sheetRowReached(int) {}
    // Stage 2 is starting: from now until runFinished only the abort command may be used.
    virtual void readingStarted() {}
    // The run's cleanup has begun: every input may be used again.
    virtual void runFinished() {}
    // The package file was written; fileName is its name without the folder.
    virtual void packageWritten(std::string_view) {}
    virtual void focusField(ImportField) {}
};

} // namespace xls2qdp
