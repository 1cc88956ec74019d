// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

// Keeps what `widget` shows as <name>.png in the build's screenshot folder (the tests'
// "screenshots" folder), so how a screen looks can be checked without running the
// program by hand. True when the file was written.
inline QString screenshotFolder() {
    const QString folder = QStringLiteral(VAPRON_SHOTS_DIR);
    QDir().mkpath(folder);
    return folder;
}

inline bool keepScreenshot(QWidget& widget, const QString& name) {
    return widget.grab().save(screenshotFolder() + "/" + name + ".png");
}
