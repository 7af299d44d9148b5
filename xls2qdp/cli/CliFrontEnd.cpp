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
    : m_environment(environment), m_answerYes(answerYes) {}

void CliFrontEnd::endProgressLine() {
    if (!m_lineOpen) return;
    m_environment.err << '\n';
    m_lineOpen = false;
}

void CliFrontEnd::show(MessageKind kind, std::string_view text) {
    endProgressLine();
    switch (kind) {
    case MessageKind::Error:
        m_environment.err << "BŁĄD: ";
        break;
    case MessageKind::Warning:
        m_environment.err << "UWAGA: ";
        break;
    case MessageKind::Information:
        break;
    }
    m_environment.err << plainLines(text) << std::endl;
}

bool CliFrontEnd::askYesNo(std::string_view question) {
    endProgressLine();
    m_environment.err << plainLines(question);
    if (m_answerYes) {
        m_environment.err << " Tak (--yes)" << std::endl;
        return true;
    }
    if (!m_environment.inIsTerminal) {
        m_environment.err << " Nie (bez terminala; odpowiedź Tak daje opcja --yes)" << std::endl;
        return false;
    }
    m_environment.err << " [T/N] " << std::flush;
    std::string answer;
    if (!std::getline(m_environment.in, answer)) return false;
    const auto first = answer.find_first_not_of(" \t");
    return first != std::string::npos && (answer[first] == 'T' || answer[first] == 't' ||
                                          answer[first] == 'Y' || answer[first] == 'y');
}

bool CliFrontEnd::abortRequested() {
    return m_environment.interrupted && m_environment.interrupted->load();
}

void CliFrontEnd::stageStarted(ImportStage stage) {
    switch (stage) {
    case ImportStage::SheetStructure:
        m_environment.err << stageLabel(stage) << std::flush;
        m_lineOpen = true;
        break;
    case ImportStage::ReadingRows:
        m_reading = true;
        m_lastRow = 0;
        m_lastPrintedRow = -1;
        break;
    case ImportStage::WritingPackage:
        if (m_reading) {
            // the final count, on the bar's line or as the last progress line
            if (m_environment.errIsTerminal) {
                drawBar(m_lastRow);
                endProgressLine();
            } else if (m_lastPrintedRow != m_lastRow) {
                m_environment.err << stageLabel(ImportStage::ReadingRows) << m_lastRow << '\n';
            }
            m_reading = false;
        }
        m_environment.err << stageLabel(stage) << std::flush;
        m_lineOpen = true;
        break;
    }
}

void CliFrontEnd::sheetStructureAccepted() {
    m_environment.err << kHeaderRowAccepted << std::endl;
    m_lineOpen = false;
}

void CliFrontEnd::drawBar(int row) {
    // The number of rows is not known ahead: the bar runs to and fro.
    const int position = (row / 500) % (2 * (kBarWidth - 3));
    const int at = position < kBarWidth - 3 ? position : 2 * (kBarWidth - 3) - position;
    std::string bar(kBarWidth, ' ');
    bar.replace(static_cast<std::size_t>(at), 3, "<=>");
    m_environment.err << '\r' << stageLabel(ImportStage::ReadingRows) << row << " [" << bar << "]"
                      << std::flush;
    m_lineOpen = true;
    m_lastDraw = std::chrono::steady_clock::now();
}

void CliFrontEnd::sheetRowReached(int row) {
    m_lastRow = row;
    if (m_environment.errIsTerminal) {
        if (!m_lineOpen || std::chrono::steady_clock::now() - m_lastDraw >= kBarInterval)
            drawBar(row);
    } else if (row % kPlainProgressStep == 0 && row != m_lastPrintedRow) {
        m_environment.err << stageLabel(ImportStage::ReadingRows) << row << '\n';
        m_lastPrintedRow = row;
    }
}

void CliFrontEnd::packageWritten(std::string_view fileName) {
    m_environment.err << ": " << fileName << std::endl;
    m_lineOpen = false;
}

void CliFrontEnd::runFinished() {
    endProgressLine();
    m_reading = false;
}

} // namespace xls2qdp::cli
