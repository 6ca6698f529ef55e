#pragma once
#include <QCursor>
#include <QIcon>

namespace colour {

// The pointer shown while a screen colour is being picked: a 32 x 32
// two-colour cross-hair with an open centre, black lines edged in white so it
// shows on any background. The hot spot is the centre pixel.
QCursor CaptureCursor();

// The picker's window icon: four small colour squares.
QIcon PickerIcon();

} // namespace colour
