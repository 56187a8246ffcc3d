#pragma once

#include <cstdint>

// Translation of this system's socket and resolver errors into the socket error codes the
// probes classify by (types/SocketErrors.h). Unknown errors give SocketErrorOther.
std::int32_t SocketErrorFromErrno(int error);
// eai: a getaddrinfo result code; systemError: errno as it stood after the call (EAI_SYSTEM).
std::int32_t SocketErrorFromResolver(int eai, int systemError);
