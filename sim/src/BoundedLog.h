// A bounded, thread-safe log: the electronics' thread adds, any thread reads or takes the items. When full,
// the oldest item goes (and is counted). Off until enabled; adding while off keeps nothing.
#ifndef KPDSIM_BOUNDEDLOG_H
#define KPDSIM_BOUNDEDLOG_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <mutex>
#include <utility>
#include <vector>

namespace kpdsim {

template <typename T> class BoundedLog {
public:
    static constexpr std::size_t kDefaultCapacity = 20000;

    void setEnabled(bool on) {
        std::lock_guard<std::mutex> lk(m_);
        enabled_.store(on);
    }
    bool enabled() const { return enabled_.load(); }
    // At least 1; drops the oldest items beyond it.
    void setCapacity(std::size_t capacity) {
        std::lock_guard<std::mutex> lk(m_);
        capacity_ = capacity < 1 ? 1 : capacity;
        while (items_.size() > capacity_) {
            items_.pop_front();
            ++dropped_;
        }
    }
    std::size_t capacity() const {
        std::lock_guard<std::mutex> lk(m_);
        return capacity_;
    }
    // Adds the item when the log is enabled.
    void add(T item) {
        std::lock_guard<std::mutex> lk(m_);
        if (!enabled_.load()) return;
        if (items_.size() >= capacity_) {
            items_.pop_front();
            ++dropped_;
        }
        items_.push_back(std::move(item));
    }
    // Calls change(newest item) when the log is enabled and not empty; its result, else false.
    template <typename Change> bool changeNewest(Change change) {
        std::lock_guard<std::mutex> lk(m_);
        if (!enabled_.load() || items_.empty()) return false;
        return change(items_.back());
    }
    std::vector<T> items() const { // a copy, oldest first
        std::lock_guard<std::mutex> lk(m_);
        return {items_.begin(), items_.end()};
    }
    std::vector<T> take() { // the items, oldest first; the log is emptied (the dropped count stays)
        std::lock_guard<std::mutex> lk(m_);
        std::vector<T> out(std::make_move_iterator(items_.begin()), std::make_move_iterator(items_.end()));
        items_.clear();
        return out;
    }
    void clear() { // also resets the dropped count
        std::lock_guard<std::mutex> lk(m_);
        items_.clear();
        dropped_ = 0;
    }
    uint64_t dropped() const {
        std::lock_guard<std::mutex> lk(m_);
        return dropped_;
    }

private:
    mutable std::mutex m_;
    std::atomic<bool> enabled_{false};
    std::deque<T> items_;
    std::size_t capacity_ = kDefaultCapacity;
    uint64_t dropped_ = 0;
};

} // namespace kpdsim

#endif // KPDSIM_BOUNDEDLOG_H
