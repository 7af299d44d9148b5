// SPDX-License-Identifier: MIT
#include "QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace xls2qdp {

QString installPolishQtTranslations(QCoreApplication& application, const QString& programDir) {
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    QLocale::setDefault(polish);
    const QString folders[] = {QDir(programDir).filePath(QStringLiteral("translations")),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(polish, QStringLiteral("qtbase"), QStringLiteral("_"), folder) ||
            !QCoreApplication::installTranslator(translator.get()))
            continue;
        // The application keeps it until it ends.
        translator->setParent(&application);
        return translator.release()->filePath();
    }
    return {};
}

} // namespace xls2qdp
