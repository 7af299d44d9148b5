// SPDX-License-Identifier: MIT
// What the importer asks of the user's desktop (showing a folder in the file
// manager), behind one seam that tests replace to see what was asked.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace xls2qdp {

class DesktopLinks {
public:
    // Asks the desktop to show the folder; false when it cannot.
    static bool openFolder(const QString& folder);

    // Tests: every request goes to opener instead of the desktop; an empty
    // opener gives the desktop back.
    using Opener = std::function<bool(const QUrl&)>;
    static void setOpener(Opener opener);
};

} // namespace xls2qdp
