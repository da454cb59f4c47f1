// SerialPorts: the serial ports as the link library reaches them: which COM numbers have a device, what
// the device is, its name in the by-id folder where udev gives it one, and whether this user can open it
// now; and the port number of a device named by its path (a by-id link, say).
#pragma once

#include "access/PortOpenFailure.h"

#include <string>
#include <vector>

struct SerialPortInfo {
    int port = 0;
    std::string path;   // the file the link library opens for the port ($SENSLINK_PORT_DIR/COMn, /dev/ttyUSB0)
    std::string device; // that file with its links resolved
    std::string byId;   // a link in the by-id folder that points at the device; empty without one
    // Why it cannot be opened now (Permission, Busy, NotSerial, Other); None: it can be.
    PortOpenFailure::Reason access = PortOpenFailure::Reason::None;
    std::string group; // the group owning the device file (for Permission)
};

class SerialPorts {
public:
    static constexpr const char *ByIdFolder = "/dev/serial/by-id";

    // Every port COM1..COM256 whose device exists, in port order. Each is opened and closed again to learn
    // whether it can be opened (a port this process holds open counts as openable and is left open); a
    // device file without a device behind it (a serial port of the machine's table with no hardware) is
    // not listed. Only while no other thread of the process uses a port.
    static std::vector<SerialPortInfo> List(const std::string &byIdFolder = ByIdFolder);

    // The port whose device is the file `path` names (links followed on both sides); 0 when no port
    // reaches it.
    static int PortOfDevice(const std::string &path);
};
