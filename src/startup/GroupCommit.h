#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace kps {

// Threads that must each wait until their part is durable share one commit
// (one sync, one transaction): each queues its part and waits for the commit
// that holds it; whichever finds no commit under way makes the next one with
// everything queued. A caller waits for at most the commit under way and its
// own, however many callers there are.
template <typename Part>
class GroupCommit {
  public:
    // Makes the parts durable; true when it did. Must not throw: every
    // caller in the batch waits for its answer.
    using Commit = std::function<bool(std::vector<Part>& parts)>;

    explicit GroupCommit(Commit commit) : commit_(std::move(commit)) {}

    // Returns once a commit begun after this call has ended: whether it made
    // `part` durable.
    bool Add(Part part) {
        Waiting mine(std::move(part));
        std::unique_lock lock(mutex_);
        queued_.push_back(&mine);
        while (true) {
            if (mine.done.load(std::memory_order_acquire)) {
                return mine.written;
            }
            if (!committing_) {
                CommitQueued(lock);
                continue;
            }
            const std::uint32_t seen = commits_.load(std::memory_order_acquire);
            lock.unlock();
            // Every caller of a commit is woken at once, and those it held
            // return without taking the lock: with two hundred lanes, waking
            // them one by one cost more than the sync.
            commits_.wait(seen, std::memory_order_acquire);
            if (mine.done.load(std::memory_order_acquire)) {
                return mine.written;
            }
            lock.lock();
        }
    }

  private:
    struct Waiting {
        explicit Waiting(Part waiting) : part(std::move(waiting)) {}
        Part part;
        bool written = false;
        std::atomic<bool> done{false};  // once set, its caller may return and free it
    };

    void CommitQueued(std::unique_lock<std::mutex>& lock) {
        committing_ = true;
        const std::vector<Waiting*> batch = std::exchange(queued_, {});
        lock.unlock();
        std::vector<Part> parts;
        parts.reserve(batch.size());
        for (Waiting* waiting : batch) {
            parts.push_back(std::move(waiting->part));
        }
        const bool written = commit_(parts);
        for (Waiting* waiting : batch) {
            waiting->written = written;
            waiting->done.store(true, std::memory_order_release);
        }
        lock.lock();
        committing_ = false;
        commits_.fetch_add(1, std::memory_order_release);
        lock.unlock();
        commits_.notify_all();
        lock.lock();
    }

    Commit commit_;
    std::mutex mutex_;
    std::vector<Waiting*> queued_;
    bool committing_ = false;
    std::atomic<std::uint32_t> commits_{0};  // ended commits; callers wait for it to move
};

}  // namespace kps
