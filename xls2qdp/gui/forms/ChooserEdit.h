// SPDX-License-Identifier: MIT
// A field whose text comes only from a chooser: a read-only line with a
// browse button that opens a file or folder chooser (FileChoosers.h, whose
// seam lets tests answer it).
#pragma once

#include <QString>
#include <QWidget>

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
    void setDialogTitle(const QString& title) { title_ = title; }
    void setFilter(const QString& filter) { filter_ = filter; }
    void setDefaultSuffix(const QString& suffix) { defaultSuffix_ = suffix; }
    // Where the chooser starts while the field is empty.
    void setInitialDir(const QString& dir) { initialDir_ = dir; }
    QString dialogTitle() const { return title_; }
    QString filter() const { return filter_; }
    QString defaultSuffix() const { return defaultSuffix_; }

    QLineEdit* lineEdit() const { return edit_; }
    QToolButton* browseButton() const { return button_; }

    // Opens the chooser; a chosen name replaces the text.
    void browse();

signals:
    void textChanged(const QString& text);
    // A name came from the chooser (not from setText).
    void chosen(const QString& name);

private:
    Kind kind_;
    QLineEdit* edit_;
    QToolButton* button_;
    QString title_, filter_, defaultSuffix_, initialDir_;
};

} // namespace xls2qdp
