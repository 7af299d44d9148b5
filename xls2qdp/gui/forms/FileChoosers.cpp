// SPDX-License-Identifier: MIT
#include "FileChoosers.h"

#include <QFileDialog>

namespace xls2qdp {

namespace {
struct Answers {
    std::optional<QString> next;
    std::optional<ChooserRequest> last;
};
Answers& answers() {
    static Answers instance;
    return instance;
}
} // namespace

std::unique_ptr<QFileDialog> FileChoosers::makeDialog(QWidget* parent,
                                                      const ChooserRequest& request) {
    auto dialog = std::make_unique<QFileDialog>(parent, request.title);
    switch (request.kind) {
    case ChooserRequest::Kind::OpenFile:
        dialog->setFileMode(QFileDialog::ExistingFile);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        break;
    case ChooserRequest::Kind::Folder:
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        break;
    case ChooserRequest::Kind::SaveFile:
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        break;
    }
    if (!request.filter.isEmpty()) dialog->setNameFilter(request.filter);
    if (!request.defaultSuffix.isEmpty()) dialog->setDefaultSuffix(request.defaultSuffix);
    const QFileInfo start(request.start);
    if (request.kind == ChooserRequest::Kind::SaveFile && !start.isDir()) {
        dialog->setDirectory(start.absolutePath());
        dialog->selectFile(start.fileName());
    } else if (!request.start.isEmpty()) {
        dialog->setDirectory(request.start);
    }
    return dialog;
}

QString FileChoosers::choose(QWidget* parent, const ChooserRequest& request) {
    if (answers().next) {
        answers().last = request;
        const QString answer = *answers().next;
        answers().next.reset();
        return answer;
    }
    const auto dialog = makeDialog(parent, request);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst();
}

void FileChoosers::answerNext(const QString& name) {
    answers().next = name;
}

std::optional<ChooserRequest> FileChoosers::lastRequest() {
    return answers().last;
}

} // namespace xls2qdp
