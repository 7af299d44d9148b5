// SPDX-License-Identifier: MIT
#include "CliFrontEnd.h"

#include "CliApp.h"

#include <istream>
#include <ostream>
#include <string>

namespace xls2qdp::cli {

namespace {
constexpr int kPlainProgressStep = 10000; // rows between progress lines in a log
constexpr auto kBarInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 20;
} // namespace

std::string plainLines(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ||
            (c == '\n' && i + 1 < text.size() && text[i + 1] == '\r')) {
            result += '\n';
            ++i;
        } else if (c == '\r') {
            result += '\n';
        } else {
            result += c;
        }
    }
    return result;
}

CliFrontEnd::CliFrontEnd(const CliEnvironment& environment, bool answerYes)
    : environment_(environment), answerYes_(answerYes) {}

void CliFrontEnd::endProgressLine() {
    if (!lineOpen_) return;
    environment_.err << '\n';
    lineOpen_ = false;
}

void CliFrontEnd::show(MessageKind kind, std::string_view text) {
    endProgressLine();
    switch (kind) {
    case MessageKind::Error:
        environment_.err << "BŁĄD: ";
        break;
    case MessageKind::Warning:
        environment_.err << "UWAGA: ";
        break;
    case MessageKind::Information:
        break;
    }
    environment_.err << plainLines(text) << std::endl;
}

bool CliFrontEnd::askYesNo(std::string_view question) {
    endProgressLine();
    environment_.err << plainLines(question);
    if (answerYes_) {
        environment_.err << " Tak (--yes)" << std::endl;
        return true;
    }
    if (!environment_.inIsTerminal) {
        environment_.err << " Nie (bez terminala; odpowiedź Tak daje opcja --yes)" << std::endl;
        return false;
    }
    environment_.err << " [T/N] " << std::flush;
    std::string answer;
    if (!std::getline(environment_.in, answer)) return false;
    const auto first = answer.find_first_not_of(" \t");
    return first != std::string::npos && (answer[first] == 'T' || answer[first] == 't' ||
                                          answer[first] == 'Y' || answer[first] == 'y');
}

bool CliFrontEnd::abortRequested() {
    return environment_.interrupted && environment_.interrupted->load();
}

void CliFrontEnd::stageStarted(ImportStage stage) {
    switch (stage) {
    case ImportStage::SheetStructure:
        environment_.err << stageLabel(stage) << std::flush;
        lineOpen_ = true;
        break;
    case ImportStage::ReadingRows:
        reading_ = true;
        lastRow_ = 0;
        lastPrintedRow_ = -1;
        break;
    case ImportStage::WritingPackage:
        if (reading_) {
            // the final count, on the bar's line or as the last progress line
            if (environment_.errIsTerminal) {
                drawBar(lastRow_);
                endProgressLine();
            } else if (lastPrintedRow_ != lastRow_) {
                environment_.err << stageLabel(ImportStage::ReadingRows) << lastRow_ << '\n';
            }
            reading_ = false;
        }
        environment_.err << stageLabel(stage) << std::flush;
        lineOpen_ = true;
        break;
    }
}

void CliFrontEnd::sheetStructureAccepted() {
    environment_.err << kHeaderRowAccepted << std::endl;
    lineOpen_ = false;
}

void CliFrontEnd::drawBar(int row) {
    // The number of rows is not known ahead: the bar runs to and fro.
    const int position = (row / 500) % (2 * (kBarWidth - 3));
    const int at = position < kBarWidth - 3 ? position : 2 * (kBarWidth - 3) - position;
    std::string bar(kBarWidth, ' ');
    bar.replace(static_cast<std::size_t>(at), 3, "<=>");
    environment_.err << '\r' << stageLabel(ImportStage::ReadingRows) << row << " [" << bar << "]"
                     << std::flush;
    lineOpen_ = true;
    lastDraw_ = std::chrono::steady_clock::now();
}

void CliFrontEnd::sheetRowReached(int row) {
    lastRow_ = row;
    if (environment_.errIsTerminal) {
        if (!lineOpen_ || std::chrono::steady_clock::now() - lastDraw_ >= kBarInterval)
            drawBar(row);
    } else if (row % kPlainProgressStep == 0 && row != lastPrintedRow_) {
        environment_.err << stageLabel(ImportStage::ReadingRows) << row << '\n';
        lastPrintedRow_ = row;
    }
}

void CliFrontEnd::packageWritten(std::string_view fileName) {
    environment_.err << ": " << fileName << std::endl;
    lineOpen_ = false;
}

void CliFrontEnd::runFinished() {
    endProgressLine();
    reading_ = false;
}

} // namespace xls2qdp::cli
