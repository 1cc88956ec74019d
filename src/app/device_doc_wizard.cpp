// SPDX-License-Identifier: GPL-3.0-or-later
// The step-by-step setup: a first installation led through dialogs (see CSetupWizard).
#include "app/auto_disable_menu.h"
#include "app/device_doc.h"
#include "app/device_frame.h"
#include "autosetup/setup_wizard.h"
#include "autosetup/ui/setup_wizard_ui.h"

void CDeviceDoc::runSetupWizard() {
    // The calibration step keeps the window alive; a second setup must not start inside.
    if (procedureRunning()) {
        return;
    }
    wizardRunning_ = true;
    emit stateChanged();
    struct running_t {
        CDeviceDoc& doc;
        ~running_t() {
            doc.wizardRunning_ = false;
            emit doc.stateChanged();
        }
    } running{*this};
    CAutoDisableMenu menuLock(window_);
    CSetupWizardUi ui(*this);
    CSetupWizard wizard(*this, store_, ui, settingsWrite_);
    wizard.setDiagnosticFlag(&diagOn_);
    wizard.run();
}

void CDeviceDoc::setAutoSetupActive(bool active) {
    if (autoSetupActive_ != active) {
        autoSetupActive_ = active;
        emit stateChanged();
    }
}

void CDeviceDoc::showAutoSetupPane(bool shown) {
    if (frame_) {
        shown ? frame_->showAutoSetupPane() : frame_->hideAutoSetupPane();
    }
    autoSetupShown_ = shown;
    emit stateChanged();
}
