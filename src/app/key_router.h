// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>
#include <QtGlobal>

// Decides what a key pressed in the device frame does. Only the left Control and left
// Shift keys count, so the router follows them by their native key codes (X11: left
// Control 37, left Shift 50); a platform that reports no native codes counts every
// Control and Shift as the left one.
class CKeyRouter {
  public:
    enum class Action { None, Gasoline, Lpg, Auto, Chart, Injector };
    struct Result {
        Action action = Action::None;
        int index = 0;  // chart 0-4 or injector 0-7
    };

    static constexpr quint32 kLeftControl = 37;
    static constexpr quint32 kLeftShift = 50;

    Result keyPressed(int key, quint32 nativeScanCode, Qt::KeyboardModifiers modifiers);
    void keyReleased(int key, quint32 nativeScanCode);

    bool leftControl() const { return leftControl_; }
    bool leftShift() const { return leftShift_; }

  private:
    bool leftControl_ = false;
    bool leftShift_ = false;
};
