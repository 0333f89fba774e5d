// The link's failures as values: one mapping from the system's error
// numbers, whichever transport met them, and the reason in words that the
// failure messages quote.
#pragma once

#include <string>

namespace kvt {

enum class LinkError {
    None,
    NoDevice,      // no such device or address
    NoPermission,  // the user may not open the device
    InUse,         // another program holds it
    NotSerial,     // a file that is not a serial device
    NoAnswer,      // the server did not answer in time
    Refused,       // the server refused the connection
    Unreachable,   // no route to the server
    Other,
};

LinkError LinkErrorOf(int errnoValue);

// The reason for a failure message: the system's words, but for a file that
// is no serial device and a connection that got no answer.
std::string LinkErrorReason(int errnoValue);

}  // namespace kvt
