// SPDX-License-Identifier: MIT
#include "HQT_About.h"
#include "MainForm.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
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
    const auto form = makeForm();
    EXPECT_TRUE(form->terminateRequested());
    const auto texts = recordedTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].startsWith(
        QStringLiteral("Brak pliku INI: \r\n") + QString::fromStdString(locations_.iniFile) +
        QStringLiteral("\r\nWzór ustawień: ") + QString::fromStdString(locations_.sampleIniFile)));
}

TEST_F(MainFormTest, OnlyKodSwiadczMissingGivesOneMessage) {
    writeIni("[SYSTEM]\nNrInstalacji=1\nKodOddzialuNFZ=07\nKodWojew=2\n");
    const auto form = makeForm();
    EXPECT_TRUE(form->terminateRequested());
    const auto texts = recordedTexts();
    ASSERT_EQ(texts.size(), 1u);
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
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Import z pliku XLS"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), QStringLiteral("Wyjście z programu"));
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

} // namespace
} // namespace xls2qdp
