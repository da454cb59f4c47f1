// PortOpenFailure: why the last open of a serial port failed, as the link library reports it after the
// open (the open's own result only says that it failed). The search uses it to tell the user about a
// device that exists but may not be opened, or that another program holds.
#pragma once

#include <string>

struct PortOpenFailure {
    enum class Reason {
        None,       // the last open succeeded, or the port was never opened
        NoDevice,   // no device for the port
        Permission, // the device exists but this user may not open it
        Busy,       // another program (or this one, under another port number) holds the device
        NotSerial,  // the file is not a serial device
        Other,      // any other failure
    };
    int port = 0;
    Reason reason = Reason::None;
    std::string device; // the device file (a port-directory link resolved); empty without one
    std::string group;  // the group owning the device file; empty without one
};
