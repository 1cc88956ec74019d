// SPDX-License-Identifier: GPL-3.0-or-later
#include "autosetup/auto_setup_thread.h"

#include "autosetup/auto_setup.h"

void CAutoSetupThread::run() {
    procedure_->runOnWorker();
}
