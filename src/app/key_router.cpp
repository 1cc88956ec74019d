// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_router.h"

namespace {

bool isLeft(quint32 scanCode, quint32 leftCode) {
    return scanCode == 0 || scanCode == leftCode;
}

}  // namespace

CKeyRouter::Result CKeyRouter::keyPressed(int key, quint32 nativeScanCode,
                                          Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Control) {
        leftControl_ = leftControl_ || isLeft(nativeScanCode, kLeftControl);
        return {};
    }
    if (key == Qt::Key_Shift) {
        leftShift_ = leftShift_ || isLeft(nativeScanCode, kLeftShift);
        return {};
    }
    // A release that went to another window must not leave a modifier held.
    if (!(modifiers & Qt::ControlModifier))
        leftControl_ = false;
    if (!(modifiers & Qt::ShiftModifier))
        leftShift_ = false;
    if (modifiers & Qt::AltModifier) {
        return {};
    }
    if (leftControl_) {
        switch (key) {
            case Qt::Key_B:
                return {Action::Gasoline, 0};
            case Qt::Key_L:
                return {Action::Lpg, 0};
            case Qt::Key_A:
                return {Action::Auto, 0};
            default:
                return {};
        }
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F8) {
        const int index = key - Qt::Key_F1;
        if (leftShift_) {
            return index < 5 ? Result{Action::Chart, index} : Result{};
        }
        return {Action::Injector, index};
    }
    return {};
}

void CKeyRouter::keyReleased(int key, quint32 nativeScanCode) {
    if (key == Qt::Key_Control && isLeft(nativeScanCode, kLeftControl))
        leftControl_ = false;
    if (key == Qt::Key_Shift && isLeft(nativeScanCode, kLeftShift))
        leftShift_ = false;
}
