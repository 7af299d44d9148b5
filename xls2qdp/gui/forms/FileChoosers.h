// SPDX-License-Identifier: MIT
// The file and folder choosers of the importer's windows, behind one seam:
// tests answer the next chooser themselves and see what it was asked.
#pragma once

#include <QString>

#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace xls2qdp {

struct ChooserRequest {
    enum class Kind { OpenFile, Folder, SaveFile };
    Kind kind = Kind::OpenFile;
    QString title;
    // The folder it starts in; a save chooser's may end with the name it
    // suggests.
    QString start;
    QString filter;        // Qt syntax, ";;" between filters; the first is selected
    QString defaultSuffix; // added to a name typed without an extension
};

class FileChoosers {
public:
    // Shows the chooser modally; the chosen file or folder, empty when cancelled.
    static QString choose(QWidget* parent, const ChooserRequest& request);

    // The dialog choose() shows for a request, not yet shown.
    static std::unique_ptr<QFileDialog> makeDialog(QWidget* parent, const ChooserRequest& request);

    // Tests: the next chooser returns this name (empty = cancelled) without
    // being shown.
    static void answerNext(const QString& name);
    // The request of the last chooser answered that way.
    static std::optional<ChooserRequest> lastRequest();
};

} // namespace xls2qdp
