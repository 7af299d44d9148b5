// SPDX-License-Identifier: MIT
// A field whose text comes only from a chooser: a read-only line with a
// browse button that opens a file or folder chooser. Tests answer the next
// chooser themselves through the seam below.
#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QLineEdit;
class QToolButton;

namespace xls2qdp {

class ChooserEdit : public QWidget {
    Q_OBJECT
public:
    enum class Kind { OpenFile, Folder };

    ChooserEdit(Kind kind, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

    // Open-file chooser: its title, filters (Qt syntax, first one selected)
    // and the extension added to a name typed without one.
    void setDialogTitle(const QString& title) { m_title = title; }
    void setFilter(const QString& filter) { m_filter = filter; }
    void setDefaultSuffix(const QString& suffix) { m_defaultSuffix = suffix; }
    void setInitialDir(const QString& dir) { m_initialDir = dir; }
    QString dialogTitle() const { return m_title; }
    QString filter() const { return m_filter; }
    QString defaultSuffix() const { return m_defaultSuffix; }

    QLineEdit* lineEdit() const { return m_edit; }
    QToolButton* browseButton() const { return m_button; }

    // Opens the chooser; a chosen name replaces the text.
    void browse();

    // Tests: the next chooser returns this name (empty = cancelled) at once.
    static void answerNextChooser(const QString& name);

signals:
    void textChanged(const QString& text);

private:
    Kind m_kind;
    QLineEdit* m_edit;
    QToolButton* m_button;
    QString m_title, m_filter, m_defaultSuffix, m_initialDir;
    static std::optional<QString> s_nextAnswer;
};

} // namespace xls2qdp
