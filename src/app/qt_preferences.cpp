#include "app/qt_preferences.h"

#include <QSettings>

#include "support/version.h"

namespace {
constexpr const char* kLastCarFile = "Last car file";
constexpr const char* kCsvForSpreadsheet = "CSV for spreadsheet";
}  // namespace

std::string CQtPreferences::lastCarFile() {
    QSettings settings("Vapron", kVapronVersionTag);
    return settings.value(kLastCarFile).toString().toStdString();
}

void CQtPreferences::setLastCarFile(const std::string& path) {
    QSettings settings("Vapron", kVapronVersionTag);
    settings.setValue(kLastCarFile, QString::fromStdString(path));
}

bool CQtPreferences::csvForSpreadsheet() {
    QSettings settings("Vapron", kVapronVersionTag);
    return settings.value(kCsvForSpreadsheet, false).toBool();
}

void CQtPreferences::setCsvForSpreadsheet(bool spreadsheet) {
    QSettings settings("Vapron", kVapronVersionTag);
    settings.setValue(kCsvForSpreadsheet, spreadsheet);
}
