// SPDX-License-Identifier: MIT
#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace xls2qdp {

namespace {
struct Recording {
    bool on = false;
    std::vector<MessageBoxes::Shown> shown;
    std::deque<bool> answers;
};
Recording& recording() {
    static Recording instance;
    return instance;
}
QString& boxTitle() {
    static QString title;
    return title;
}
} // namespace

void MessageBoxes::setTitle(const QString& title) {
    boxTitle() = title;
}

QString MessageBoxes::title() {
    return boxTitle().isEmpty() ? QApplication::applicationName() : boxTitle();
}

QString MessageBoxes::displayText(const QString& text) {
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

void MessageBoxes::show(QWidget* parent, MessageKind kind, const QString& text) {
    if (recording().on) {
        recording().shown.push_back({kind, text});
        return;
    }
    switch (kind) {
    case MessageKind::Error:
        QMessageBox::critical(parent, title(), displayText(text));
        break;
    case MessageKind::Warning:
        QMessageBox::warning(parent, title(), displayText(text));
        break;
    case MessageKind::Information:
        QMessageBox::information(parent, title(), displayText(text));
        break;
    }
}

bool MessageBoxes::askYesNo(QWidget* parent, const QString& text) {
    if (recording().on) {
        recording().shown.push_back({MessageKind::Information, text, true});
        if (recording().answers.empty()) return true;
        const bool answer = recording().answers.front();
        recording().answers.pop_front();
        return answer;
    }
    QMessageBox box(QMessageBox::Question, title(), displayText(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Tak"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nie"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxes::startRecording() {
    recording() = Recording();
    recording().on = true;
}

void MessageBoxes::stopRecording() {
    recording() = Recording();
}

void MessageBoxes::queueAnswer(bool yes) {
    recording().answers.push_back(yes);
}

std::vector<MessageBoxes::Shown> MessageBoxes::takeRecorded() {
    std::vector<Shown> shown;
    shown.swap(recording().shown);
    return shown;
}

void MessageBoxSink::show(MessageKind kind, std::string_view text) {
    MessageBoxes::show(parent_, kind,
                       QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace xls2qdp
