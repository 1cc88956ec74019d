// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

constexpr const char* kCatalog = "qtbase_pl";

}  // namespace

QString CQtTranslations::folder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool CQtTranslations::install(QString* problem) {
    static QTranslator* installed = nullptr;
    if (installed != nullptr) {
        return true;
    }
    // The program speaks Polish whatever the desktop's language is.
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    auto translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(kCatalog, folder()) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        if (problem != nullptr) {
            *problem = QString(
                           "Zainstaluj polskie tłumaczenia Qt (sudo apt install "
                           "qt6-translations-l10n): bez nich przyciski okien standardowych są "
                           "po angielsku.\nBrak pliku %1.qm w %2")
                           .arg(kCatalog, folder());
        }
        return false;
    }
    installed = translator;
    return true;
}
