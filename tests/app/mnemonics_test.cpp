// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app_fixture.h"
#include "settings/ui/car_info_dlg.h"
#include "settings/ui/dev_setup_dlg.h"
#include "settings/ui/fuel_sensor_dlg.h"
#include "widgets/mnemonics.h"

namespace {

// Every text of the dialog that can carry a letter, with the letter it carries.
std::multimap<char, QString> lettersOf(QWidget& dialog) {
    std::multimap<char, QString> letters;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy()) {
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            text = button->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            text = group->title();
        }
        if (!text.isEmpty()) {
            letters.emplace(CMnemonics::letterOf(text), text);
        }
    }
    return letters;
}

// In the settings editor, the car dialog and the fuel dialog every labelled field has an
// Alt+letter of its own that takes the focus to it; no letter serves two texts.
TEST(MnemonicsTest, EveryFieldOfTheThreeDialogsHasItsOwnLetter) {
    AppFixture app;
    app.doc().OnNewDocument();
    const std::function<std::unique_ptr<QDialog>()> dialogs[] = {
        [&] { return std::make_unique<CDevSetupDlg>(nullptr, app.doc()); },
        [&] {
            return std::make_unique<CCarInfoDlg>(nullptr, &app.preferences(), app.doc().info());
        },
        [&] { return std::make_unique<CFuelSensorDlg>(nullptr, app.doc(), app.doc().dataWrite()); },
    };
    for (const auto& make : dialogs) {
        const std::unique_ptr<QDialog> dialog = make();
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        const std::multimap<char, QString> letters = lettersOf(*dialog);
        for (auto it = letters.upper_bound(0); it != letters.end(); ++it) {
            EXPECT_EQ(letters.count(it->first), 1u) << it->second.toStdString();
        }
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            QWidget* field = label->buddy();
            if (!field || !field->isEnabled() || !field->isVisibleTo(dialog.get())) {
                continue;
            }
            const char letter = CMnemonics::letterOf(label->text());
            ASSERT_NE(letter, 0) << label->text().toStdString();
            QTest::keyClick(dialog.get(), letter, Qt::AltModifier);
            EXPECT_TRUE(field->hasFocus()) << label->text().toStdString();
        }
    }
}

TEST(MnemonicsTest, WordStartsComeFirstAndMarkedLettersAreKept) {
    const struct {
        const char *text, *marked;
    } cases[] = {
        {"Wpisz do urządzenia", "&Wpisz do urządzenia"},
        {"&OK", "&OK"},  // marked by its maker: kept, and its letter taken
        {"Wczytaj z pliku", "Wczytaj &z pliku"},
        {"Wpisz do pliku", "Wpisz &do pliku"},
        {"Oś", "Oś"},  // no free Latin letter: none
        {"Ośka", "Oś&ka"},
    };
    QWidget dialog;
    std::vector<QPushButton*> buttons;
    for (const auto& c : cases) {
        buttons.push_back(new QPushButton(QString::fromUtf8(c.text), &dialog));
    }
    CMnemonics::assign(dialog);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->text(), QString::fromUtf8(cases[i].marked));
    }
}

}  // namespace
