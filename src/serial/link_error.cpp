#include "serial/link_error.h"

#include <cerrno>
#include <cstring>

namespace kvt {

LinkError LinkErrorOf(int errnoValue) {
    switch (errnoValue) {
    case 0: return LinkError::None;
    case ENOENT:
    case ENODEV:
    case ENXIO: return LinkError::NoDevice;
    case EACCES: return LinkError::NoPermission;
    case EBUSY: return LinkError::InUse;
    case ENOTTY: return LinkError::NotSerial;
    case ETIMEDOUT: return LinkError::NoAnswer;
    case ECONNREFUSED: return LinkError::Refused;
    case EHOSTUNREACH:
    case ENETUNREACH: return LinkError::Unreachable;
    default: return LinkError::Other;
    }
}

std::string LinkErrorReason(int errnoValue) {
    switch (LinkErrorOf(errnoValue)) {
    case LinkError::NotSerial: return "not a serial device";
    case LinkError::NoAnswer: return "no answer within 3 s";
    default: return std::strerror(errnoValue);
    }
}

}  // namespace kvt
