#pragma once

#include "platform/WindowSystem.h"

// The window system of an X11 desktop (EWMH states through xcb); without an X11 connection the
// states are not set and the work area is the toolkit's.
IWindowSystem& WindowSystemX11();
