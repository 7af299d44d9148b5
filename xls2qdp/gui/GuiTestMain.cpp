// SPDX-License-Identifier: MIT
// Window tests run on Qt's offscreen platform with settings kept apart from
// the user's, and every message box recorded instead of shown.
#include "MessageBoxes.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("qdpsuite-test"));
    QApplication::setApplicationName(QStringLiteral("xls2qdp-test"));
    xls2qdp::MessageBoxes::startRecording();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
