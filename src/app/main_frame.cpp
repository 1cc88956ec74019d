// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/device_menu.h"
#include "widgets/message_box.h"

namespace {

// The icon theme's printer; the style has none of its own to fall back on.
QIcon printIcon(QStyle* style) {
    for (const char* name : {"document-print", "document-print-symbolic", "printer"}) {
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull()) {
            return icon;
        }
    }
    return style->standardIcon(QStyle::SP_FileDialogDetailedView);
}

}  // namespace

CMainFrame::CMainFrame(CDeviceDoc& document, CDeviceFrame* frame) : doc_(document) {
    setWindowTitle("Vapron");
    setCentralWidget(frame);
    menu_ = new CDeviceMenu(menuBar(), document, this);

    QToolBar* tools = addToolBar("Pasek narzędzi");
    tools->setObjectName("toolbar");
    tools->setIconSize(QSize(16, 15));
    open_ = tools->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton), "Otwórz");
    open_->setEnabled(false);  // the program opens no documents of its own
    print_ = tools->addAction(printIcon(style()), "Drukuj");
    print_->setEnabled(false);  // enabled once a chart view is there to print
    about_ =
        tools->addAction(style()->standardIcon(QStyle::SP_MessageBoxInformation), "O programie");
    connect(print_, &QAction::triggered, this, &CMainFrame::printRequested);
    connect(about_, &QAction::triggered, &document, &CDeviceDoc::onAbout);
    connect(&document, &CDeviceDoc::titleChanged, this, &QWidget::setWindowTitle);
}

QStringList CMainFrame::unsavedTexts() const {
    QStringList lost;
    for (const pending_write_t& pending : pending_) {
        const QString text = pending.unsaved();
        if (!text.isEmpty()) {
            lost << text;
        }
    }
    return lost;
}

bool CMainFrame::writePending() {
    for (const pending_write_t& pending : pending_) {
        if (pending.unsaved().isEmpty()) {
            continue;
        }
        pending.write();
        if (!pending.unsaved().isEmpty()) {
            return false;
        }
    }
    return true;
}

bool CMainFrame::mayClose() {
    const QStringList lost = unsavedTexts();
    if (lost.isEmpty()) {
        return true;
    }
    if (!doc_.isConnected()) {
        const QString text = "Te zmiany nie są wpisane do sterownika i zostaną utracone:\n" +
                             lost.join("\n") + "\n" + kUnsavedQuestion;
        return CMessageBox::show(this, text, CMessageBox::Icon::Question,
                                 CMessageBox::Buttons::OkCancel) == CMessageBox::Answer::Ok;
    }
    const QString text =
        "Te zmiany nie są wpisane do sterownika:\n" + lost.join("\n") + "\n" + kWriteQuestion;
    switch (CMessageBox::askToWriteFirst(this, text, "Anuluj")) {
        case CMessageBox::Answer::Yes:
            return writePending();
        case CMessageBox::Answer::No:
            return true;
        default:
            return false;
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!closed_ && !mayClose()) {
        event->ignore();
        return;
    }
    if (!closed_) {
        closed_ = true;
        doc_.OnCloseDocument();
    }
    event->accept();
}
