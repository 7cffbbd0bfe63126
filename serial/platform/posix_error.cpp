#include "serial/platform/posix_error.h"

#include "serial/platform/comm_types.h"

#include <cerrno>

uint32_t commErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return comm::ErrorFileNotFound;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK:
        return comm::ErrorAccessDenied;
    case EBADF:
        return comm::ErrorInvalidHandle;
    case ENOMEM:
        return comm::ErrorNotEnoughMemory;
    case EINVAL:
        return comm::ErrorInvalidParameter;
    case ENOTTY:
        return comm::ErrorBadCommand;
    case EOPNOTSUPP:
        return comm::ErrorNotSupported;
    case ENAMETOOLONG:
        return comm::ErrorInvalidName;
    default:
        return comm::ErrorGenFailure;
    }
}
