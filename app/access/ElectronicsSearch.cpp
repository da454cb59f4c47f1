#include "access/ElectronicsSearch.h"

std::unique_ptr<ComData> ElectronicsSearch::ConnectPort(int port, DataSets &data, std::string &message) {
    auto access = std::make_unique<ComData>(port, data);
    int modelIndex = 0;
    if (access->Connect(message, modelIndex)) return access;
    access->ClosePortIfOpen();
    return nullptr;
}

std::unique_ptr<ComData> ElectronicsSearch::Search(int first, int last, DataSets &data, std::string &message,
                                                   const std::function<bool(int port)> &polling) {
    for (int port = first; port <= last; ++port) {
        if (polling && !polling(port)) return nullptr;
        if (auto access = ConnectPort(port, data, message)) return access;
    }
    return nullptr;
}
