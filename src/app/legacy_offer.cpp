// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/legacy_offer.h"

#include <QString>

#include "settings/i_preferences.h"
#include "settings/legacy_folders.h"
#include "support/polish_plural.h"
#include "widgets/message_box.h"

namespace {

// Failures listed in a box; the rest are counted.
constexpr std::size_t kListedFailures = 5;

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

CLegacyOffer::CLegacyOffer(IPreferences& preferences, std::vector<std::string> candidates,
                           std::string programFolder)
    : preferences_(preferences),
      candidates_(std::move(candidates)),
      programFolder_(std::move(programFolder)) {}

bool CLegacyOffer::run(QWidget* owner) {
    std::vector<std::string> folders;
    QString list;
    for (const auto& old : CLegacyFolders::find(candidates_)) {
        if (preferences_.legacyFolderOffered(old.folder)) {
            continue;
        }
        const std::size_t missing = CLegacyFolders::missingIn(old.folder, programFolder_);
        if (missing == 0) {
            continue;
        }
        folders.push_back(old.folder);
        list += QString(
                    "%1\n(nagrania i obrazy EEPROM: %2, pliki ustawień: %3; brak ich w folderze "
                    "programu: %4)\n")
                    .arg(text(old.folder))
                    .arg(old.recordings)
                    .arg(old.settings)
                    .arg(missing);
    }
    if (folders.empty()) {
        return false;
    }
    const QString question =
        QString(
            "Znaleziono nagrania i ustawienia samochodów starego programu dla Windows:\n%1\n"
            "Skopiować brakujące pliki do folderu programu?\n%2\nŻaden plik nie zostanie "
            "zastąpiony, a stare foldery zostaną bez zmian.")
            .arg(list, text(programFolder_));
    if (CMessageBox::show(owner, question, CMessageBox::Icon::Question,
                          CMessageBox::Buttons::YesNo) == CMessageBox::Answer::Yes) {
        copy(owner, folders);
    } else {
        for (const auto& folder : folders) {
            preferences_.setLegacyFolderOffered(folder);
        }
    }
    return true;
}

void CLegacyOffer::copy(QWidget* owner, const std::vector<std::string>& folders) {
    std::size_t copied = 0;
    std::vector<std::string> failed;
    for (const auto& folder : folders) {  // the newest first: an older copy never replaces it
        const CLegacyFolders::copy_result_t result =
            CLegacyFolders::copyInto(folder, programFolder_);
        copied += result.copied;
        failed.insert(failed.end(), result.failed.begin(), result.failed.end());
        if (result.ok()) {
            preferences_.setLegacyFolderOffered(folder);
        }
    }
    if (failed.empty()) {
        CMessageBox::show(
            owner,
            QString("Skopiowano %1 do folderu programu:\n%2")
                .arg(QString::fromStdString(polishCount(copied, polish_nouns::kFiles)))
                .arg(text(programFolder_)),
            CMessageBox::Icon::Information);
        return;
    }
    QString detail;
    for (std::size_t i = 0; i < failed.size() && i < kListedFailures; ++i) {
        detail += "\n" + text(failed[i]);
    }
    if (failed.size() > kListedFailures) {
        detail += QString("\n… i %1 innych").arg(failed.size() - kListedFailures);
    }
    CMessageBox::show(owner,
                      QString("Skopiowano %1, nie udało się skopiować: %2. Sprawdź "
                              "miejsce na dysku i uprawnienia, potem uruchom program ponownie.%3")
                          .arg(QString::fromStdString(polishCount(copied, polish_nouns::kFiles)))
                          .arg(failed.size())
                          .arg(detail),
                      CMessageBox::Icon::Warning);
}
