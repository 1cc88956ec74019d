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

    // A pane's edits not yet in the controller: `unsaved` tells what closing would lose
    // ("" for nothing), `write` writes them as the pane's own button does.
    struct pending_write_t {
        std::function<QString()> unsaved;
        std::function<void()> write;
    };
    void addPendingWrite(pending_write_t pending) { pending_.push_back(std::move(pending)); }
    static constexpr const char* kUnsavedQuestion = "Czy zamknąć program mimo to?";
    static constexpr const char* kWriteQuestion = "Wpisać je do sterownika przed zamknięciem?";

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
    std::vector<pending_write_t> pending_;

    // False when the user keeps the window open for what is not yet written, or a write
    // asked for did not complete.
    bool mayClose();
    QStringList unsavedTexts() const;
    // Writes every pane's pending edits; false at the first that stays unwritten (its
    // write has said why).
    bool writePending();
};
