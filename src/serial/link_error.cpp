#include "serial/link_error.h"

#include <cerrno>
#include <cstring>

namespace kvt {

namespace {

const struct {
    int number;
    LinkError error;
} kErrors[] = {
    {0, LinkError::None},
    {ENOENT, LinkError::NoDevice},
    {ENODEV, LinkError::NoDevice},
    {ENXIO, LinkError::NoDevice},
    {EACCES, LinkError::NoPermission},
    {EBUSY, LinkError::InUse},
    {ENOTTY, LinkError::NotSerial},
    {ETIMEDOUT, LinkError::NoAnswer},
    {ECONNREFUSED, LinkError::Refused},
    {EHOSTUNREACH, LinkError::Unreachable},
    {ENETUNREACH, LinkError::Unreachable},
};

}  // namespace

LinkError LinkErrorOf(int errnoValue) {
    for (const auto& e : kErrors)
        if (e.number == errnoValue) return e.error;
    return LinkError::Other;
}

std::string LinkErrorReason(int errnoValue) {
    switch (LinkErrorOf(errnoValue)) {
    case LinkError::NotSerial: return "not a serial device";
    case LinkError::NoAnswer: return "no answer within 3 s";
    default: return std::strerror(errnoValue);
    }
}

}  // namespace kvt
