// SPDX-License-Identifier: MIT
// How an import run shows itself on a terminal or in a log: messages on
// stderr, progress as a bar on a terminal and as plain lines otherwise,
// questions answered by --yes, by the user at a terminal, or No.
#pragma once

#include "engine/ImportFrontEnd.h"

#include <atomic>
#include <chrono>
#include <iosfwd>

namespace xls2qdp::cli {

struct CliEnvironment;

class CliFrontEnd : public ImportFrontEnd, public MessageSink {
public:
    CliFrontEnd(const CliEnvironment& environment, bool answerYes);

    MessageSink& messages() override { return *this; }
    void show(MessageKind kind, std::string_view text) override;
    bool askYesNo(std::string_view question) override;
    bool abortRequested() override;

    void stageStarted(ImportStage stage) override;
    void sheetStructureAccepted() override;
    void sheetRowReached(int row) override;
    void packageWritten(std::string_view fileName) override;
    void runFinished() override;

private:
    void endProgressLine();
    void drawBar(int row);

    const CliEnvironment& environment_;
    bool answerYes_;
    bool lineOpen_ = false; // a progress or stage line waits for its end
    int lastRow_ = 0;
    int lastPrintedRow_ = -1;
    bool reading_ = false;
    std::chrono::steady_clock::time_point lastDraw_;
};

// Line breaks of a message as a log wants them: CR LF and LF CR become LF.
std::string plainLines(std::string_view text);

} // namespace xls2qdp::cli
