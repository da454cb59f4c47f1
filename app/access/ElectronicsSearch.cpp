#include "access/ElectronicsSearch.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace {
// How often a waiting search asks whether it was interrupted.
constexpr std::chrono::milliseconds kInterruptPoll{20};
} // namespace

ElectronicsSearch::ElectronicsSearch(DataSets &data) : data_(data) {}

ElectronicsSearch::~ElectronicsSearch() {
    Decide(nullptr); // a search left before it decided (an exception) ends its probes too
    for (Probe &p : probes_)
        if (p.thread.joinable()) p.thread.join();
}

std::unique_ptr<ComData> ElectronicsSearch::ConnectPort(int port, DataSets &data, std::string &message) {
    auto access = std::make_unique<ComData>(port, data);
    int modelIndex = 0;
    if (access->Connect(message, modelIndex)) return access;
    access->ClosePortIfOpen();
    return nullptr;
}

std::unique_ptr<ComData> ElectronicsSearch::Run(int first, int last,
                                                const std::function<bool(int port)> &polling) {
    first = std::max(first, FirstPort);
    last = std::min(last, LastPort);
    if (!probes_.empty()) return nullptr; // one search per object
    for (int port = first; port <= last; ++port)
        probes_.emplace_back().com = std::make_unique<ComData>(port, data_);
    for (Probe &p : probes_) {
        try {
            p.thread = std::thread([this, &p] { RunProbe(p); });
        } catch (const std::system_error &) {
            p.inline_ = true; // out of threads: this port is probed in turn
        }
    }

    for (Probe &p : probes_) {
        if ((polling && !polling(p.com->PortNumber())) || !WaitFor(p)) {
            Decide(nullptr);
            return nullptr;
        }
        std::unique_lock lock(mutex_);
        if (p.outcome == Outcome::Connected) {
            message_ = p.message;
            lock.unlock();
            Decide(&p);
            return std::move(p.com); // its thread no longer touches it
        }
        if (p.failure.reason != PortOpenFailure::Reason::None) failures_.push_back(p.failure);
    }
    Decide(nullptr);
    return nullptr;
}

void ElectronicsSearch::RunProbe(Probe &p) {
    std::string message;
    int modelIndex = 0;
    const bool connected = p.com->Connect(message, modelIndex, ConnectProbe{&p.abandon, ProbeHandshakeTimeoutMs});
    PortOpenFailure failure;
    if (!connected) {
        failure = p.com->OpenFailure();
        p.com->ClosePortIfOpen();
    }
    bool notTaken = false;
    {
        std::lock_guard lock(mutex_);
        p.outcome = connected ? Outcome::Connected : Outcome::Failed;
        p.message = std::move(message);
        p.failure = std::move(failure);
        notTaken = connected && decided_; // the search decided without this port meanwhile
    }
    if (notTaken) p.com->ClosePortIfOpen();
    ended_.notify_all();
}

bool ElectronicsSearch::WaitFor(Probe &p) {
    if (p.inline_) {
        RunProbe(p);
        return true;
    }
    std::unique_lock lock(mutex_);
    if (!interrupted) {
        ended_.wait(lock, [&] { return p.outcome != Outcome::Polling; });
        return true;
    }
    while (p.outcome == Outcome::Polling) {
        lock.unlock();
        if (interrupted()) return false;
        lock.lock();
        ended_.wait_for(lock, kInterruptPoll, [&] { return p.outcome != Outcome::Polling; });
    }
    return true;
}

void ElectronicsSearch::Decide(const Probe *kept) {
    std::vector<ComData *> connected; // connections not taken, whose threads are done with them
    {
        std::lock_guard lock(mutex_);
        if (decided_) return;
        decided_ = true;
        for (Probe &p : probes_) {
            if (&p == kept) continue;
            p.abandon = true;
            if (p.outcome == Outcome::Connected && p.com) connected.push_back(p.com.get());
        }
    }
    for (ComData *com : connected)
        com->ClosePortIfOpen();
}
