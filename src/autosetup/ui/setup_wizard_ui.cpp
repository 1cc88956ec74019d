// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/ui/setup_wizard_ui.h"

#include <atomic>
#include <future>
#include <memory>

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/device_doc.h"
#include "autosetup/ui/auto_setup_view.h"
#include "autosetup/ui/average_error_dlg.h"
#include "autosetup/ui/step1_dlg.h"
#include "autosetup/ui/step2_dlg.h"
#include "autosetup/ui/step3_dlg.h"
#include "autosetup/ui/step4_dlg.h"
#include "autosetup/ui/step_end_dlg.h"
#include "autosetup/ui/step_start_dlg.h"
#include "link/request_cancel.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"
#include "widgets/off_window.h"

bool CSetupWizardUi::exec(QDialog& dialog) {
    doc_.slowRefresh();
    const int result = CDialogRunner::exec(dialog);
    doc_.normalRefresh();
    return result == QDialog::Accepted;
}

void CSetupWizardUi::showMessage(const std::string& text, Icon icon) {
    CMessageBox::show(doc_.window(), QString::fromStdString(text), icon);
}

bool CSetupWizardUi::askCarInfo() {
    return doc_.askCarInfo();
}

// The operation runs on a worker while the window keeps running: the box's "Przerwij"
// (or Escape) ends it within the exchange on the line.
ISetupWizardUi::Run CSetupWizardUi::runStoppable(const std::string& text,
                                                 const std::function<bool()>& operation) {
    bool stopped = false;
    // A port failure is raised here, to the wizard's guard.
    const bool succeeded =
        COffWindow::run(doc_.window(), QString::fromStdString(text), operation, &stopped);
    if (stopped) {
        return Run::Stopped;
    }
    return succeeded ? Run::Done : Run::Failed;
}

void CSetupWizardUi::showErrors(const CLPGDeviceErr::report_t& report) {
    doc_.showErrors(report);
}

bool CSetupWizardUi::askCylinders(std::string& count) {
    CStepStartDlg dialog(doc_.window());
    if (!exec(dialog)) {
        return false;
    }
    count = dialog.cylinders().toStdString();
    return true;
}

bool CSetupWizardUi::askBasicSettings(dev_setup_t& setup) {
    CStep1Dlg dialog(doc_.window(), setup);
    return exec(dialog);
}

bool CSetupWizardUi::confirm(Step step) {
    std::unique_ptr<QDialog> dialog;
    switch (step) {
        case Step::SwitchToLpg:
            dialog = std::make_unique<CStep2Dlg>(doc_.window());
            break;
        case Step::EngineStable:
            dialog = std::make_unique<CStep3Dlg>(doc_.window());
            break;
        case Step::CalibrationNotes:
            dialog = std::make_unique<CStep4Dlg>(doc_.window());
            break;
        case Step::Finish:
            // What the controller holds: the calibration's result as it was acknowledged.
            dialog = std::make_unique<CStepEndDlg>(doc_.window(), doc_.heldSetup().mainCorrection);
            break;
    }
    return exec(*dialog);
}

// The chart stays slow after OK, through the calibration; a successful run sets it
// back itself.
bool CSetupWizardUi::askTolerance(double& percent) {
    doc_.slowRefresh();
    CAverageErrorDlg dialog(doc_.window(), percent);
    if (CDialogRunner::exec(dialog) != QDialog::Accepted) {
        doc_.normalRefresh();
        return false;
    }
    percent = dialog.tolerancePercent();
    return true;
}

void CSetupWizardUi::showCalibrationPane(bool shown) {
    doc_.showAutoSetupPane(shown);
}

ISetupWizardUi::Calibration CSetupWizardUi::runCalibration(double tolerancePercent) {
    QPointer<CAutoSetupView> view = doc_.autoSetupView();
    if (!view || !view->startRun(tolerancePercent)) {
        return Calibration::Failed;
    }
    // The window stays alive meanwhile: the view logs, its Stop ends the run, and the
    // run's idle question is answered here.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!view || !view->procedure().active()) {
            loop.quit();
        }
    });
    poll.start(kPollMs);
    loop.exec();
    // Closing the window ends the run and the document: nothing more is shown.
    if (!view || CDeviceDoc::current() != &doc_) {
        return Calibration::Abandoned;
    }
    return view->succeeded() ? Calibration::Succeeded : Calibration::Failed;
}
