#pragma once

#include "platform/Platform.h"

// The Linux desktop's services: PulseAudio, eSpeak NG, xdg-open, X11 and the socket probes.
CPlatformBackend LinuxPlatform();
