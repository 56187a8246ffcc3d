#include "platform/linux/NetErrors.h"

#include "types/SocketErrors.h"

#include <cerrno>
#include <netdb.h>

std::int32_t SocketErrorFromErrno(int error) {
    switch (error) {
    case EINTR:
        return WSAEINTR;
    case EACCES:
    case EPERM:
        return WSAEACCES;
    case EINVAL:
        return WSAEINVAL;
    case EAFNOSUPPORT:
        return WSAEAFNOSUPPORT;
    case EADDRNOTAVAIL:
        return WSAEADDRNOTAVAIL;
    case ENETDOWN:
        return WSAENETDOWN;
    case ENETUNREACH:
        return WSAENETUNREACH;
    case ECONNRESET:
        return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM:
        return WSAENOBUFS;
    case ETIMEDOUT:
        return WSAETIMEDOUT;
    case ECONNREFUSED:
        return WSAECONNREFUSED;
    case EHOSTUNREACH:
    case EHOSTDOWN:
        return WSAEHOSTUNREACH;
    default:
        return SocketErrorOther;
    }
}

std::int32_t SocketErrorFromResolver(int eai, int systemError) {
    switch (eai) {
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
    // glibc also answers this way when no name server can be reached; for a monitor that is a
    // name that does not resolve.
    case EAI_AGAIN:
        return WSAHOST_NOT_FOUND;
    case EAI_FAIL:
        return WSANO_RECOVERY;
    case EAI_MEMORY:
        return WSAENOBUFS;
    case EAI_FAMILY:
        return WSAEAFNOSUPPORT;
    case EAI_BADFLAGS:
        return WSAEINVAL;
    case EAI_SYSTEM:
        return SocketErrorFromErrno(systemError);
    default:
        return SocketErrorOther;
    }
}
