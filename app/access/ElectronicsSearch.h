// ElectronicsSearch: the search for the electronics over the serial ports, for callers without a window.
//
// The ports are tried in turn as the program's own search does: an access object for the port, Connect
// (open, configure, stop burst, handshake, processor version, model code, settings), and on failure the
// port is closed and skipped silently. The first port whose electronics identify themselves is kept.
// Plain C++; the calling thread talks to the ports, so no worker may be running.
#pragma once

#include "access/ComData.h"
#include "data/DataSets.h"

#include <functional>
#include <memory>
#include <string>

class ElectronicsSearch {
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 256;

    // Connects to the electronics on one port; null when they do not answer or do not identify themselves
    // (the port is then closed). message: the found message with the port number.
    static std::unique_ptr<ComData> ConnectPort(int port, DataSets &data, std::string &message);

    // Tries the ports first..last in turn and returns the first connected access object, or null when no
    // port answered. polling(port) is called before each port; when it returns false the search ends
    // there with nothing found (an interrupted search).
    static std::unique_ptr<ComData> Search(int first, int last, DataSets &data, std::string &message,
                                           const std::function<bool(int port)> &polling = {});
};
