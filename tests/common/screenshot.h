// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

// Keeps what `widget` shows as <name>.png in the build's screenshot folder (the tests'
// "screenshots" folder), so how a screen looks can be checked without running the
// program by hand. True when the file was written.
inline bool keepScreenshot(QWidget& widget, const QString& name) {
    const QString folder = QStringLiteral(VAPRON_SHOTS_DIR);
    return QDir().mkpath(folder) && widget.grab().save(folder + "/" + name + ".png");
}
