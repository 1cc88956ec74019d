// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/auto_disable_menu.h"

#include <QAction>
#include <QMenuBar>
#include <QWidget>

CAutoDisableMenu::CAutoDisableMenu(QWidget* window) {
    QMenuBar* bar = window ? window->findChild<QMenuBar*>() : nullptr;
    if (!bar) {
        return;
    }
    const QList<QAction*> menus = bar->actions();
    for (int i = 0; i < menus.size() && i < kMenus; ++i) {
        // Only what this guard greyed is enabled again.
        if (menus[i]->isEnabled()) {
            menus[i]->setEnabled(false);
            greyed_.emplace_back(menus[i]);
        }
    }
}

CAutoDisableMenu::~CAutoDisableMenu() {
    for (const QPointer<QAction>& menu : greyed_) {
        if (menu) {
            menu->setEnabled(true);
        }
    }
}
