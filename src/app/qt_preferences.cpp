#include "app/qt_preferences.h"

#include <QSettings>

namespace {
constexpr const char* kLastCarFile = "Last car file";
}

std::string CQtPreferences::lastCarFile() {
    QSettings settings("Vapron", "v4.5");
    return settings.value(kLastCarFile).toString().toStdString();
}

void CQtPreferences::setLastCarFile(const std::string& path) {
    QSettings settings("Vapron", "v4.5");
    settings.setValue(kLastCarFile, QString::fromStdString(path));
}
