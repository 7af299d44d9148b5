// SPDX-License-Identifier: MIT
// Window tests run on Qt's offscreen platform with settings of their own in
// a fresh folder (tests may run side by side), Qt's texts in Polish as the
// program has them, and every message box recorded instead of shown.
#include "MessageBoxes.h"
#include "QtTranslations.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("qdpsuite-test"));
    QApplication::setApplicationName(QStringLiteral("xls2qdp-test"));
    const QTemporaryDir settings;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings.path());
    xls2qdp::installPolishQtTranslations(application, QApplication::applicationDirPath());
    xls2qdp::MessageBoxes::startRecording();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
