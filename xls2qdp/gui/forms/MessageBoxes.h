// SPDX-License-Identifier: MIT
// The importer's message boxes and Yes/No questions, behind one seam: tests
// record what would have been shown and answer the questions themselves.
#pragma once

#include "common/MessageSink.h"

#include <QString>

#include <deque>
#include <vector>

class QWidget;

namespace xls2qdp {

class MessageBoxes {
public:
    struct Shown {
        MessageKind kind;
        QString text;
        bool question = false;
    };

    // The boxes' title, the program's name. It is not the application's
    // display name, which the window system would append to every window's
    // caption.
    static void setTitle(const QString& title);
    static QString title();

    // A modal box with the kind's icon and an OK button.
    static void show(QWidget* parent, MessageKind kind, const QString& text);
    // A modal Yes/No confirmation; true for Yes.
    static bool askYesNo(QWidget* parent, const QString& text);

    // Tests: from now on nothing is shown; messages are recorded and
    // questions answered from the queue (Yes when it is empty).
    static void startRecording();
    static void stopRecording();
    static void queueAnswer(bool yes);
    static std::vector<Shown> takeRecorded();

    // Line breaks as a box shows them: CR LF and LF CR become one break.
    static QString displayText(const QString& text);
};

// A message sink that shows message boxes over a parent window. Call it on
// the user-interface thread.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* parent) : parent_(parent) {}
    void show(MessageKind kind, std::string_view text) override;

private:
    QWidget* parent_;
};

} // namespace xls2qdp
