// SPDX-License-Identifier: MIT
// Qt's own texts (the buttons of message boxes, the file chooser, the
// context menus) in Polish, whatever language the system speaks: the whole
// program is Polish.
#pragma once

#include <QString>

class QCoreApplication;

namespace xls2qdp {

// Installs Qt's Polish translations and makes Polish the default locale.
// Looks in programDir's "translations" folder first (a portable install
// carrying Qt's files), then in Qt's own translations folder. The file
// loaded, empty when none was found (Qt's texts then stay English).
QString installPolishQtTranslations(QCoreApplication& application, const QString& programDir);

} // namespace xls2qdp
