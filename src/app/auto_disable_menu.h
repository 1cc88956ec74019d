// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QPointer>

class QAction;
class QWidget;

// Greys the main window's menus for as long as it lives, so that no command starts
// while a long one (the step-by-step setup) runs with the window alive; every way out
// of that command enables them again.
class CAutoDisableMenu {
  public:
    // The menus greyed: Plik to Informacje, by position.
    static constexpr int kMenus = 7;

    explicit CAutoDisableMenu(QWidget* window);
    CAutoDisableMenu(const CAutoDisableMenu&) = delete;
    CAutoDisableMenu& operator=(const CAutoDisableMenu&) = delete;
    virtual ~CAutoDisableMenu();

  private:
    std::vector<QPointer<QAction>> greyed_;
};
