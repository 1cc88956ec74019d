// SPDX-License-Identifier: GPL-3.0-or-later
// The document's auto-calibration pane: its view owns the procedure and the run flag.
#include "app/device_doc.h"
#include "app/device_frame.h"
#include "autosetup/ui/auto_setup_view.h"

CAutoSetupView* CDeviceDoc::autoSetupView() const {
    return autoSetupView_;
}

void CDeviceDoc::createAutoSetupView() {
    if (!frame_ || autoSetupView_) {
        return;
    }
    autoSetupView_ = new CAutoSetupView(*this);
    frame_->setAutoSetupView(autoSetupView_);
    frame_->hideAutoSetupPane();
    autoSetupShown_ = false;
}

// A run uses the controller and the sample store: it ends before either goes.
void CDeviceDoc::stopAutoSetup() {
    if (autoSetupView_) {
        autoSetupView_->stopAndWait();
    }
}
