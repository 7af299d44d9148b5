// SPDX-License-Identifier: MIT
// Batches filled ahead on a thread of their own while the caller works
// through the batches before them: on two cores the filling (reading a sheet,
// stepping through a table) and the using overlap. At most `waiting` filled
// batches wait, so memory stays bounded whatever the input's size; a batch
// the caller is done with goes back to be filled again, so its buffers are
// reused. When no thread can be started the batches are filled on the
// caller's thread instead. Each side wakes the other only when it waits,
// and not for a single batch: a filling thread that found the queue full
// waits until half of it is used, a caller that found it empty until half
// of it is filled (or the filling ended). Threads handed work a batch at a
// time would mostly wake and sleep.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace xls2qdp {

template <class Batch>
class ReadAhead {
public:
    // Fills a batch (it may hold what an earlier fill left) and tells whether
    // more batches follow it. Runs on the filling thread only and must not
    // throw: an error travels in the batch. It should look at stopping()
    // between items so that a stop takes effect within one item.
    using Fill = std::function<bool(Batch& batch)>;

    explicit ReadAhead(Fill fill, std::size_t waiting = 4)
        : fill_(std::move(fill)), waiting_(waiting) {
        try {
            thread_ = std::thread(&ReadAhead::fillAhead, this);
        } catch (const std::system_error&) {
            inline_ = true;
        }
    }
    // Stops the filling thread (after the item it is filling) and waits for it.
    ~ReadAhead() { finish(); }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next filled batch, valid until the next call; nullptr after the
    // last one, or once the filling was stopped.
    Batch* next() {
        if (inline_) {
            if (ended_) return nullptr;
            ended_ = !fill_(using_);
            return &using_;
        }
        std::unique_lock lock(mutex_);
        if (holding_) spare_.push_back(std::move(using_));
        holding_ = false;
        if (ready_.empty() && !done_) {
            callerWaits_ = true;
            changed_.wait(lock, [&] { return !ready_.empty() || done_; });
            callerWaits_ = false;
        }
        if (ready_.empty()) return nullptr;
        using_ = std::move(ready_.front());
        ready_.pop_front();
        holding_ = true;
        const bool wake = fillerWaits_ && ready_.size() <= resumeAt();
        lock.unlock();
        if (wake) changed_.notify_all();
        return &using_;
    }

    // Stops the filling and waits until its thread has ended; after that the
    // source of the batches may be used on the caller's thread again.
    void finish() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    // For the fill function: whether the caller has stopped the filling.
    bool stopping() const { return stop_.load(std::memory_order_relaxed); }

private:
    void fillAhead() {
        // However the thread ends, a caller waiting for a batch is woken.
        struct Done {
            ReadAhead& self;
            ~Done() {
                {
                    std::lock_guard lock(self.mutex_);
                    self.done_ = true;
                }
                self.changed_.notify_all();
            }
        } done{*this};
        for (;;) {
            Batch batch;
            {
                std::unique_lock lock(mutex_);
                if (!stop_ && ready_.size() >= waiting_) {
                    fillerWaits_ = true;
                    changed_.wait(lock, [&] { return stop_ || ready_.size() <= resumeAt(); });
                    fillerWaits_ = false;
                }
                if (stop_) return;
                if (!spare_.empty()) {
                    batch = std::move(spare_.back());
                    spare_.pop_back();
                }
            }
            const bool more = fill_(batch);
            bool wake = false;
            {
                std::lock_guard lock(mutex_);
                if (stop_) return;
                ready_.push_back(std::move(batch));
                wake = callerWaits_ && (!more || ready_.size() >= wakeCallerAt());
            }
            if (wake) changed_.notify_all();
            if (!more) return;
        }
    }

    // How few filled batches a filling thread that waited resumes at.
    std::size_t resumeAt() const { return waiting_ / 2; }
    // How many filled batches a caller that waited is woken at.
    std::size_t wakeCallerAt() const { return waiting_ / 2 > 0 ? waiting_ / 2 : 1; }

    Fill fill_;
    const std::size_t waiting_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> ready_;  // filled, waiting for the caller
    std::vector<Batch> spare_; // used, waiting to be filled again
    std::atomic<bool> stop_{false};
    bool done_ = false;        // the filling thread has ended
    bool callerWaits_ = false; // the caller waits for a filled batch
    bool fillerWaits_ = false; // the filling thread waits for room
    Batch using_;              // the batch the caller holds
    bool holding_ = false;     // using_ came from the thread and goes back to it
    bool inline_ = false;      // no thread: batches filled on the caller's thread
    bool ended_ = false;       // inline: the last batch was filled
    std::thread thread_;       // last: starts once everything above is ready
};

} // namespace xls2qdp
