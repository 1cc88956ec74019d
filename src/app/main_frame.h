// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <QMainWindow>

class QAction;
class CDeviceDoc;
class CDeviceFrame;
class CDeviceMenu;

// The main window: the device menu, the toolbar (Open greyed, Print, About) and the
// device frame. Closing it closes the document.
class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    CMainFrame(CDeviceDoc& document, CDeviceFrame* frame);

    CDeviceMenu* deviceMenu() const { return menu_; }
    QAction* openAction() const { return open_; }
    QAction* printAction() const { return print_; }
    QAction* aboutAction() const { return about_; }

    // Tells what closing would lose ("" for nothing); asked before the window closes.
    using UnsavedCheck = std::function<QString()>;
    void addUnsavedCheck(UnsavedCheck check) { unsaved_.push_back(std::move(check)); }
    static constexpr const char* kUnsavedQuestion = "Czy zamknąć program mimo to?";

  signals:
    void printRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    CDeviceDoc& doc_;
    CDeviceMenu* menu_;
    QAction* open_;
    QAction* print_;
    QAction* about_;
    bool closed_ = false;
    std::vector<UnsavedCheck> unsaved_;

    // False when the user keeps the window open for what is not yet written.
    bool mayClose();
};
