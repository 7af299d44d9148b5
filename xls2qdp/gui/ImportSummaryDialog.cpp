// SPDX-License-Identifier: MIT
#include "ImportSummaryDialog.h"

#include "DesktopLinks.h"
#include "GradientCaption.h"
#include "MessageBoxes.h"
#include "RemarksDialog.h"
#include "ReportFile.h"
#include "ToQString.h"
#include "import/conversion/ImportReport.h"

#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace xls2qdp {

namespace {

// The report goes beside the package, else into the target folder chosen,
// else beside the workbook; it is named after the workbook.
QString suggestReportFile(const ImportOutcome& outcome, const ImportRequest& request) {
    const QFileInfo workbook(QString::fromStdString(request.workbookFile));
    QString folder = QString::fromStdString(outcome.packageFile.parent_path().string());
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QString::fromStdString(request.targetFolder).trimmed();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = workbook.absolutePath();
    const QString stem = workbook.completeBaseName().isEmpty() ? QStringLiteral("import")
                                                               : workbook.completeBaseName();
    return QDir(folder).filePath(stem + QStringLiteral("_raport.csv"));
}

std::optional<ReportKind> kindDescribedAs(const std::string& description) {
    for (std::size_t k = 0; k < kReportKindCount; ++k)
        if (describe(static_cast<ReportKind>(k)) == description) return static_cast<ReportKind>(k);
    return std::nullopt;
}

} // namespace

ImportSummaryDialog::ImportSummaryDialog(QWidget* owner, const ImportOutcome& outcome,
                                         const ImportRequest& request,
                                         std::unique_ptr<ImportServices> services)
    : FormEnh(owner), outcome_(outcome), services_(std::move(services)),
      suggestedReportFile_(suggestReportFile(outcome, request)) {
    setObjectName(QStringLiteral("dlgPodsumowanieImportu"));
    setWindowTitle(QStringLiteral("Podsumowanie importu"));
    const ImportSummary& summary = outcome.summary;

    auto* caption = new GradientCaption(windowTitle(), this);
    lblPlik = new QLabel(this);
    lblPlik->setObjectName(QStringLiteral("lblPlik"));
    lblPlik->setWordWrap(true);
    lblPlik->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (outcome.succeeded())
        lblPlik->setText(
            QStringLiteral("Deklaracje zostały zapisane w pliku:\n") +
            QDir::toNativeSeparators(QString::fromStdString(outcome.packageFile.string())));
    else
        lblPlik->setText(QStringLiteral("Plik QDP nie został zapisany."));

    frmLiczby = new QFormLayout;
    frmLiczby->setLabelAlignment(Qt::AlignLeft);
    for (const auto& [label, value] : summary.facts()) {
        auto* shown = new QLabel(toQString(value), this);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = shown->font();
        bold.setBold(true);
        shown->setFont(bold);
        frmLiczby->addRow(toQString(label) + QStringLiteral(":"), shown);
    }

    lstRodzaje = new QTreeWidget(this);
    lstRodzaje->setObjectName(QStringLiteral("lstRodzaje"));
    lstRodzaje->setRootIsDecorated(false);
    lstRodzaje->setHeaderLabels({QStringLiteral("Rodzaj uwagi"), QStringLiteral("Liczba")});
    lstRodzaje->header()->setStretchLastSection(false);
    lstRodzaje->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstRodzaje->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    for (const RemarkCount& remark : summary.remarks) {
        auto* item = new QTreeWidgetItem(
            lstRodzaje, {toQString(remark.description), QString::number(remark.count)});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(0, QStringLiteral("Dwukrotne kliknięcie pokazuje te uwagi"));
    }
    lstRodzaje->setVisible(!summary.remarks.empty());
    lstRodzaje->setMaximumHeight(
        lstRodzaje->header()->sizeHint().height() +
        static_cast<int>(std::min<std::size_t>(summary.remarks.size(), 6)) *
            (fontMetrics().height() + 6) +
        6);

    QStringList warnings;
    for (const std::string& warning : summary.warnings)
        warnings << QStringLiteral("UWAGA: ") + toQString(warning);
    lblOstrzezenia = new QLabel(warnings.join(QLatin1Char('\n')), this);
    lblOstrzezenia->setObjectName(QStringLiteral("lblOstrzezenia"));
    lblOstrzezenia->setWordWrap(true);
    lblOstrzezenia->setStyleSheet(QStringLiteral("color: #9b1c1c;"));
    lblOstrzezenia->setVisible(!warnings.isEmpty());

    btnPokazUwagi = new QPushButton(QStringLiteral("Pokaż &uwagi…"), this);
    btnPokazUwagi->setObjectName(QStringLiteral("btnPokazUwagi"));
    btnZapiszRaport = new QPushButton(QStringLiteral("&Zapisz raport…"), this);
    btnZapiszRaport->setObjectName(QStringLiteral("btnZapiszRaport"));
    btnOtworzFolder = new QPushButton(QStringLiteral("&Otwórz folder"), this);
    btnOtworzFolder->setObjectName(QStringLiteral("btnOtworzFolder"));
    btnOtworzFolder->setToolTip(QStringLiteral("Pokazuje folder z nowym plikiem QDP"));
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    for (QPushButton* button : {btnPokazUwagi, btnZapiszRaport, btnOtworzFolder})
        button->setAutoDefault(false);
    // Enter closes the window: a user who only confirms loses nothing.
    btnZamknij->setDefault(true);
    const bool remarks = report() && !report()->empty();
    btnPokazUwagi->setEnabled(remarks);
    btnZapiszRaport->setEnabled(remarks);
    btnOtworzFolder->setEnabled(outcome.succeeded());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnPokazUwagi);
    buttons->addWidget(btnZapiszRaport);
    buttons->addWidget(btnOtworzFolder);
    buttons->addStretch();
    buttons->addWidget(btnZamknij);
    QVBoxLayout* body = layOutUnderCaption(this, caption);
    body->addWidget(lblPlik);
    body->addSpacing(4);
    body->addLayout(frmLiczby);
    body->addWidget(lstRodzaje);
    body->addWidget(lblOstrzezenia);
    body->addStretch();
    body->addLayout(buttons);
    setMinimumWidth(600);

    connect(btnPokazUwagi, &QPushButton::clicked, this, &ImportSummaryDialog::btnPokazUwagiClick);
    connect(btnZapiszRaport, &QPushButton::clicked, this,
            &ImportSummaryDialog::btnZapiszRaportClick);
    connect(btnOtworzFolder, &QPushButton::clicked, this,
            &ImportSummaryDialog::btnOtworzFolderClick);
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::accept);
    connect(lstRodzaje, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        showRemarks(kindDescribedAs(item->text(0).toStdString()));
    });
}

ImportSummaryDialog::~ImportSummaryDialog() = default;

const ImportReport* ImportSummaryDialog::report() const {
    return services_ ? services_->importReport() : nullptr;
}

RemarksDialog* ImportSummaryDialog::remarksWindow() const {
    return remarks_;
}

void ImportSummaryDialog::btnPokazUwagiClick() {
    showRemarks(std::nullopt);
}

void ImportSummaryDialog::showRemarks(std::optional<ReportKind> kind) {
    if (!report()) return;
    if (!remarks_) {
        remarks_ = new RemarksDialog(this, *report(), suggestedReportFile_);
        remarks_->setAttribute(Qt::WA_DeleteOnClose);
        remarks_->openModal();
    }
    remarks_->showKind(kind);
    remarks_->raise();
}

void ImportSummaryDialog::btnZapiszRaportClick() {
    if (report()) saveReportAs(this, *report(), suggestedReportFile_);
}

void ImportSummaryDialog::btnOtworzFolderClick() {
    const QString folder = QDir::toNativeSeparators(
        QString::fromStdString(outcome_.packageFile.parent_path().string()));
    if (!DesktopLinks::openFolder(folder))
        MessageBoxes::show(this, MessageKind::Error,
                           QStringLiteral("Nie można otworzyć folderu: ") + folder);
}

} // namespace xls2qdp
