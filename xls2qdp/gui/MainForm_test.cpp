// SPDX-License-Identifier: MIT
#include "ChooserEdit.h"
#include "HQT_About.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "ProgramArtwork.h"
#include "SettingsDialog.h"
#include "common/IniProfile.h"
#include "dlgImportXLS.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

std::vector<QString> recordedTexts() {
    std::vector<QString> texts;
    for (const auto& shown : MessageBoxes::takeRecorded())
        texts.push_back(shown.text);
    return texts;
}

const QString kSettingsOffer =
    QStringLiteral("Czy otworzyć okno „Ustawienia” i wpisać dane świadczeniodawcy teraz?\r\n"
                   "Odpowiedź „Nie” kończy działanie programu.");

// Acts on the next modal window of that type once it is shown; fails the
// test when none comes within five seconds.
template <typename Window>
void onNextModal(std::function<void(Window&)> act, int triesLeft = 500) {
    QTimer::singleShot(10, [act, triesLeft] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window && window->isVisible())
            act(*window);
        else if (triesLeft > 0)
            onNextModal<Window>(act, triesLeft - 1);
        else
            ADD_FAILURE() << "the window did not open";
    });
}

// Types the four values into the settings window and presses Zapisz.
void enterSettings(SettingsDialog& dialog, const char* swiadcz, const char* instalacja,
                   const char* oddzial, const char* wojew) {
    dialog.edtKodSwiadcz->setText(QString::fromUtf8(swiadcz));
    dialog.edtNrInstalacji->setText(QString::fromUtf8(instalacja));
    dialog.edtOddzialNFZ->setText(QString::fromUtf8(oddzial));
    dialog.edtKodWoj->setText(QString::fromUtf8(wojew));
    dialog.btnZapisz->click();
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("xls2qdp-mainform-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        MessageBoxes::takeRecorded();
        locations_ = {dir_, dir_ / "xls2qdp.INI", dir_, dir_, dir_ / kSampleIniFile};
    }
    void TearDown() override { fs::remove_all(dir_); }
    void writeIni(const std::string& text) {
        std::ofstream(locations_.iniFile, std::ios::binary) << text;
    }
    std::unique_ptr<TfrmMainForm> makeForm() {
        return std::make_unique<TfrmMainForm>(locations_, ImportServicesFactory());
    }

    fs::path dir_;
    ProgramLocations locations_;
};

TEST_F(MainFormTest, AMissingIniEndsTheProgramAfterOneMessageNamingTheSample) {
    std::ofstream(locations_.sampleIniFile) << "[SYSTEM]\n";
    MessageBoxes::queueAnswer(false); // not now
    const auto form = makeForm();
    EXPECT_TRUE(form->terminateRequested());
    const auto texts = recordedTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], kSettingsOffer);
    EXPECT_TRUE(texts[0].startsWith(
        QStringLiteral("Brak pliku INI: \r\n") + QString::fromStdString(locations_.iniFile) +
        QStringLiteral("\r\nWzór ustawień: ") + QString::fromStdString(locations_.sampleIniFile)));
}

TEST_F(MainFormTest, OnlyKodSwiadczMissingGivesOneMessage) {
    writeIni("[SYSTEM]\nNrInstalacji=1\nKodOddzialuNFZ=07\nKodWojew=2\n");
    MessageBoxes::queueAnswer(false);
    const auto form = makeForm();
    EXPECT_TRUE(form->terminateRequested());
    const auto texts = recordedTexts();
    ASSERT_EQ(texts.size(), 2u); // the message, then the offer of the settings window
    EXPECT_EQ(texts[1], kSettingsOffer);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("W pliku INI brak informacji o kodzie "
                                                   "świadczeniodawcy lub błędny wpis:\r\nSekcja: "
                                                   "[SYSTEM] klucz: KodSwiadcz\r\n")));
}

TEST_F(MainFormTest, ShowsItsMenuCaptionAndVersion) {
    writeIni("[SYSTEM]\nNrInstalacji=1\nKodSwiadcz=5\nKodOddzialuNFZ=07\nKodWojew=2\n");
    const auto form = makeForm();
    ASSERT_FALSE(form->terminateRequested());
    EXPECT_EQ(form->settings().KodWojew, "02");
    EXPECT_EQ(form->lblWersja->text(), QStringLiteral("v. -- -- --"));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_EQ(form->lblWersja->text(), QStringLiteral("v.2.02.1.0101"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Import danych z pliku XLS"));
    EXPECT_EQ(form->centralWidget()->size(), QSize(502, 368));
    EXPECT_TRUE(form->font().bold());

    EXPECT_EQ(form->menSystem->title(), QStringLiteral("&System"));
    EXPECT_EQ(form->menPomoc->title(), QStringLiteral("Po&moc"));
    const auto items = form->menSystem->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Import z pliku XLS"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Ustawienia…"));
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), QStringLiteral("Wyjście z programu"));
    EXPECT_EQ(form->menAbout->text(), QStringLiteral("O programie"));

    // Closing asks first: No keeps the window, Yes closes it.
    MessageBoxes::queueAnswer(false);
    form->menWyjscieClick();
    EXPECT_TRUE(form->isVisible());
    MessageBoxes::queueAnswer(true);
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_THAT(recordedTexts(),
                ElementsAre(QStringLiteral("Czy napewno chcesz zakończyć działanie programu "
                                           "(T/N)?"),
                            QStringLiteral("Czy napewno chcesz zakończyć działanie programu "
                                           "(T/N)?")));
}

TEST_F(MainFormTest, TheAboutBoxShowsWhatTheMainWindowRegistered) {
    writeIni("[SYSTEM]\nNrInstalacji=1\nKodSwiadcz=5\nKodOddzialuNFZ=07\nKodWojew=2\n");
    const auto form = makeForm();

    QString caption, product, system, local, moduleName, module, description;
    bool helpVisible = true;
    bool exitFocused = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<Tdlg_HQT_About_1*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        caption = about->windowTitle();
        product = about->lbl_Produkt->text();
        system = about->lbl_WersjaSystemu->text();
        local = about->lbl_WersjaSystemuModulu->text();
        moduleName = about->lbl_NazwaModulu->text();
        module = about->lbl_WersjaModulu->text();
        description = about->mem_OpisWersji->toPlainText();
        helpVisible = about->btn_TechHelp->isVisible();
        exitFocused = about->btn_Exit->hasFocus() || about->focusWidget() == about->btn_Exit;
        about->btn_Exit->click();
    });
    form->menAboutClick();

    EXPECT_EQ(caption, QStringLiteral("Import danych z XLS - Informacje "));
    EXPECT_TRUE(product.endsWith(QStringLiteral("Import danych z XLS")));
    EXPECT_EQ(system, QStringLiteral("System: Pakiet QDP wersja: 2.02.0003"));
    EXPECT_EQ(local, QString());
    EXPECT_EQ(moduleName, QStringLiteral("Import danych z XLS"));
    EXPECT_EQ(module, QStringLiteral("Moduł: KW_XLSIMP wersja: 1.0101"));
    EXPECT_EQ(description, QString());
    EXPECT_FALSE(helpVisible);
    EXPECT_TRUE(exitFocused);
}

// Settings missing or wrong at start: after the program's own messages it
// offers the settings window; No, or leaving the window, ends the program
// as before; values saved there let it start.
TEST_F(MainFormTest, StartupOffersTheSettingsWindow) {
    struct Case {
        const char* name;
        bool yes;
        std::function<void(SettingsDialog&)> inWindow;
        bool starts;
    };
    const Case cases[] = {
        {"No", false, nullptr, false},
        {"Yes, then Anuluj", true, [](SettingsDialog& d) { d.btnAnuluj->click(); }, false},
        {"Yes, then the values", true,
         [](SettingsDialog& d) { enterSettings(d, "000000012345", "7", "06", "2"); }, true},
    };
    for (const Case& c : cases) {
        fs::remove(locations_.iniFile);
        MessageBoxes::queueAnswer(c.yes);
        if (c.inWindow) onNextModal<SettingsDialog>(c.inWindow);
        const auto form = makeForm();
        EXPECT_EQ(form->terminateRequested(), !c.starts) << c.name;
        const auto texts = recordedTexts();
        ASSERT_EQ(texts.size(), 2u) << c.name;
        EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Brak pliku INI: "))) << c.name;
        EXPECT_EQ(texts[1], kSettingsOffer) << c.name;
        EXPECT_EQ(fs::exists(locations_.iniFile), c.starts) << c.name;
        if (!c.starts) continue;
        EXPECT_EQ(form->settings().KodSwiadcz, "000000012345");
        EXPECT_EQ(form->settings().NrInstalacji, "7");
        EXPECT_EQ(form->settings().KodOddzialuNFZ, "06");
        EXPECT_EQ(form->settings().KodWojew, "02");
        EXPECT_EQ(readIniValue(locations_.iniFile, "SYSTEM", "KodWojew"), "02");
    }
}

// The settings window judges a value as the start-up does: a wrong
// KodOddzialuNFZ is refused with its message and keeps the window open; the
// right one is saved into the INI file, the rest of which stays.
TEST_F(MainFormTest, TheSettingsWindowRefusesABadBranchAndSavesAGoodOne) {
    writeIni("; ustawienia\r\n[SYSTEM]\r\nNrInstalacji=1\r\nKodSwiadcz=5\r\n"
             "KodOddzialuNFZ=07\r\nKodWojew=2\r\n[OUTPUT]\r\nOUTPATH=/tmp\r\n");
    const auto form = makeForm();
    ASSERT_FALSE(form->terminateRequested());

    QString shownNfz, shownWojew, fileLine;
    bool stayedOpen = false;
    bool focusOnBranch = false;
    onNextModal<SettingsDialog>([&](SettingsDialog& d) {
        shownNfz = d.edtOddzialNFZ->text();
        shownWojew = d.edtKodWoj->text();
        fileLine = d.lblPlik->text();
        enterSettings(d, "5", "1", "17", "12");
        stayedOpen = d.isVisible();
        focusOnBranch = d.focusWidget() == d.edtOddzialNFZ;
        enterSettings(d, "5", "1", "16", "12");
    });
    form->menUstawieniaClick();

    EXPECT_EQ(shownNfz, QStringLiteral("07"));
    EXPECT_EQ(shownWojew, QStringLiteral("02"));
    EXPECT_TRUE(fileLine.endsWith(QString::fromStdString(locations_.iniFile.string())));
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(focusOnBranch);
    const auto texts = recordedTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].startsWith(
        QStringLiteral("W pliku INI brak informacji o kodzie oddiału NFZ lub błędny wpis:\r\n"
                       "Sekcja: [SYSTEM] klucz: KodOddzialuNFZ\r\nWartość „17” jest błędna")));
    EXPECT_EQ(form->settings().KodOddzialuNFZ, "16");
    EXPECT_EQ(form->settings().KodWojew, "12");
    std::ifstream in(locations_.iniFile, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              "; ustawienia\r\n[SYSTEM]\r\nNrInstalacji=1\r\nKodSwiadcz=5\r\n"
              "KodOddzialuNFZ=16\r\nKodWojew=12\r\n[OUTPUT]\r\nOUTPATH=/tmp\r\n");
}

TEST(SettingsNames, NameTheBranchAndTheVoivodeshipOfACode) {
    EXPECT_EQ(nfzBranchName(QStringLiteral("06")),
              QStringLiteral("Małopolski Oddział Wojewódzki NFZ"));
    EXPECT_EQ(nfzBranchName(QStringLiteral("16")),
              QStringLiteral("Zachodniopomorski Oddział Wojewódzki NFZ"));
    EXPECT_EQ(voivodeshipName(QStringLiteral("12")), QStringLiteral("województwo małopolskie"));
    EXPECT_EQ(voivodeshipName(QStringLiteral("02")), QStringLiteral("województwo dolnośląskie"));
    for (const char* none : {"", "00", "17", "6", "x1"})
        EXPECT_TRUE(nfzBranchName(QString::fromUtf8(none)).isEmpty()) << none;
    for (const char* none : {"", "00", "03", "34", "2"})
        EXPECT_TRUE(voivodeshipName(QString::fromUtf8(none)).isEmpty()) << none;
}

TEST_F(MainFormTest, AWorkbookDroppedOnTheWindowOpensTheImportWithIt) {
    writeIni("[SYSTEM]\nNrInstalacji=1\nKodSwiadcz=5\nKodOddzialuNFZ=07\nKodWojew=2\n");
    const fs::path workbook = dir_ / "deklaracje.xlsx";
    std::ofstream(workbook) << "";
    const auto form = makeForm();
    form->show();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(workbook.string()))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QString field, folder;
    onNextModal<Tdlg_ImportXLS>([&](Tdlg_ImportXLS& dialog) {
        field = dialog.edtXLSFileName->text();
        folder = dialog.edtKatalog->text();
        dialog.btnZamknij->click();
    });
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    QTRY_COMPARE(field, QString::fromStdString(workbook.string()));
    EXPECT_EQ(folder, QString::fromStdString(dir_.string()) + QStringLiteral("/"));
}

// The artwork's emblem, its caption and the version in the corner stay
// apart; ctest runs this once more with fonts at 130 dpi.
TEST_F(MainFormTest, TheArtworkKeepsItsCaptionClearOfTheEmblemAndTheVersion) {
    writeIni("[SYSTEM]\nNrInstalacji=1\nKodSwiadcz=5\nKodOddzialuNFZ=07\nKodWojew=2\n");
    const auto form = makeForm();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QSize client = form->centralWidget()->size();
    const ArtworkLayout layout = mainWindowArtworkLayout(client);
    EXPECT_LT(layout.emblem.bottom(), layout.caption.top());
    EXPECT_GE(layout.emblem.top(), 0);
    EXPECT_GE(layout.caption.left(), 0);
    EXPECT_LE(layout.caption.right(), client.width());
    const QRect version = form->lblWersja->geometry();
    EXPECT_TRUE(QRect(QPoint(0, 0), client).contains(version));
    EXPECT_LE(layout.caption.bottom(), version.top());
    EXPECT_GE(version.width(), form->lblWersja->sizeHint().width());
    EXPECT_GE(version.height(), form->lblWersja->sizeHint().height());
}

} // namespace
} // namespace xls2qdp
