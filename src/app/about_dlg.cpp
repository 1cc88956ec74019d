// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/device_doc.h"
#include "support/version.h"
#include "widgets/message_box.h"

CAboutDlg::CAboutDlg(QWidget* parent, CDeviceDoc* document) : QDialog(parent) {
    setWindowTitle("O programie Vapron");
    auto* title = new QLabel(QString("<b>Vapron</b> %1").arg(kVapronVersion), this);
    auto* purpose = new QLabel("Program serwisowy sekwencyjnego sterownika wtrysku LPG", this);
    version_ = new QLabel(this);
    version_->setObjectName("version");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(purpose);
    layout->addWidget(version_);
    layout->addWidget(buttons);

    if (!document || !document->isConnected()) {
        return;
    }
    runGuarded(this, "CAboutDlg::OnInitDialog()", [&] {
        CLPGDevice::VersionBytes record{};
        CLPGDevice::ClockBytes bytes{};
        bool stopped = false;
        bool clockRead = false;
        const bool read = COffWindow::run(
            parentWidget(), "Wczytywanie wersji urządzenia...",
            [&] {
                if (!document->readVersion(record)) {
                    return false;
                }
                clockRead = document->readClock(bytes);
                return true;
            },
            &stopped);
        if (!read) {
            if (!stopped) {
                CMessageBox::show(this, "Nie można odczytać wersji urządzenia!",
                                  CMessageBox::Icon::Error);
            }
            return;
        }
        auto& clock = document->info().clock;
        clock.fill(0);
        if (clockRead) {
            for (std::size_t i = 0; i < clock.size(); ++i) {
                clock[i] = proto::getU32(bytes.data() + 4 * i);
            }
        }
        version_->setText(QString("Wersja urządzenia: %1, %2, %3, %4, %5")
                              .arg(document->info().version)
                              .arg(clock[0])
                              .arg(clock[1])
                              .arg(clock[2])
                              .arg(clock[3]));
    });
}

QString CAboutDlg::versionLine() const {
    return version_->text();
}
