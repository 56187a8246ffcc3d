#include "platform/NetProbes.h"

#include <unistd.h>

ProbeState::~ProbeState() {
    Release();
}

void ProbeState::Release() {
    if (IcmpHandle >= 0)
        ::close(IcmpHandle);
    IcmpHandle = -1;
    IcmpFamily = 0;
    IcmpKind = IcmpSocketKind::None;
}
