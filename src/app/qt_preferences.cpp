#include "app/qt_preferences.h"

#include <QSettings>

#include "support/version.h"

namespace {
constexpr const char* kLastCarFile = "Last car file";
}

std::string CQtPreferences::lastCarFile() {
    QSettings settings("Vapron", kVapronVersionTag);
    return settings.value(kLastCarFile).toString().toStdString();
}

void CQtPreferences::setLastCarFile(const std::string& path) {
    QSettings settings("Vapron", kVapronVersionTag);
    settings.setValue(kLastCarFile, QString::fromStdString(path));
}
