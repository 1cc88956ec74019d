// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/legacy_offer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "settings/file_preferences.h"
#include "temp_dir.h"
#include "widgets/message_box.h"

namespace {

struct offer_case_t {
    const char* name;
    bool oldFiles;
    CMessageBox::Answer answer;
    std::vector<QString> boxes;  // the beginnings of the boxes shown at the first start
    bool copied;
};

void put(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
}

TEST(LegacyOfferTest, AskedOnceCopiedOnTakAndNeverAgainForTheSameFolder) {
    const offer_case_t cases[] = {
        {"Tak", true, CMessageBox::Answer::Yes, {"Znaleziono", "Skopiowano 2 pliki "}, true},
        {"Nie", true, CMessageBox::Answer::No, {"Znaleziono"}, false},
        {"nothing old", false, CMessageBox::Answer::Yes, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir dir;
        const QString old = QString::fromStdString(dir.path("Program Files/Vapron"));
        if (c.oldFiles) {
            put(old + "/Dane/jazda.lpgd");
            put(old + "/Ustawienia/v4.5/Opel/Astra/1.6.settings");
        }
        const std::string program = dir.path("home/");
        std::vector<QString> boxes;
        CMessageBox::setShower(
            [&](QWidget*, const QString& text, CMessageBox::Icon, CMessageBox::Buttons buttons) {
                boxes.push_back(text);
                return buttons == CMessageBox::Buttons::YesNo ? c.answer : CMessageBox::Answer::Ok;
            });
        const std::string ini = dir.path("vapron.ini");
        for (int start = 0; start < 2; ++start) {
            CFilePreferences preferences(ini);
            CLegacyOffer(preferences, {old.toStdString()}, program).run(nullptr);
        }
        CMessageBox::setShower({});

        ASSERT_EQ(boxes.size(), c.boxes.size());  // the second start asks nothing
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_TRUE(boxes[i].startsWith(c.boxes[i])) << boxes[i].toStdString();
        }
        EXPECT_EQ(QFile::exists(QString::fromStdString(dir.path("home/Dane/jazda.lpgd"))),
                  c.copied);
        EXPECT_EQ(QFile::exists(QString::fromStdString(
                      dir.path("home/Ustawienia/v4.5/Opel/Astra/1.6.settings"))),
                  c.copied);
    }
}

}  // namespace
