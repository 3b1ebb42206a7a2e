#pragma once
// The keys and mouse buttons held during an event, as one set of flags.

namespace fw {

enum ShiftState : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
};

// Shift, Ctrl and Alt as they are now.
unsigned CurrentShiftState();
// True while the key is held down.
bool KeyIsDown(int virtualKey);

}  // namespace fw
