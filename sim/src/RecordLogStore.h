// The bounded, thread-safe store behind the simulator's record log: the electronics' thread adds each
// stream record it sends, any thread reads or takes them. When full, the oldest record goes (and is
// counted). Off until enabled; adding while off keeps nothing.
#ifndef KPDSIM_RECORDLOGSTORE_H
#define KPDSIM_RECORDLOGSTORE_H

#include "kpdsim/Simulator.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace kpdsim {

class RecordLogStore {
public:
    static constexpr std::size_t kDefaultCapacity = 20000;

    void setEnabled(bool on) {
        std::lock_guard<std::mutex> lk(m_);
        enabled_.store(on);
    }
    bool enabled() const { return enabled_.load(); }
    void setCapacity(std::size_t capacity) {
        std::lock_guard<std::mutex> lk(m_);
        capacity_ = capacity < 1 ? 1 : capacity;
        while (records_.size() > capacity_) {
            records_.pop_front();
            ++dropped_;
        }
    }
    void add(SentRecord record) {
        std::lock_guard<std::mutex> lk(m_);
        if (!enabled_.load()) return;
        if (records_.size() >= capacity_) {
            records_.pop_front();
            ++dropped_;
        }
        records_.push_back(std::move(record));
    }
    std::vector<SentRecord> records() const {
        std::lock_guard<std::mutex> lk(m_);
        return {records_.begin(), records_.end()};
    }
    std::vector<SentRecord> take() {
        std::lock_guard<std::mutex> lk(m_);
        std::vector<SentRecord> out(std::make_move_iterator(records_.begin()),
                                    std::make_move_iterator(records_.end()));
        records_.clear();
        return out;
    }
    void clear() {
        std::lock_guard<std::mutex> lk(m_);
        records_.clear();
        dropped_ = 0;
    }
    uint64_t dropped() const {
        std::lock_guard<std::mutex> lk(m_);
        return dropped_;
    }

private:
    mutable std::mutex m_;
    std::atomic<bool> enabled_{false};
    std::deque<SentRecord> records_;
    std::size_t capacity_ = kDefaultCapacity;
    uint64_t dropped_ = 0;
};

} // namespace kpdsim

#endif // KPDSIM_RECORDLOGSTORE_H
