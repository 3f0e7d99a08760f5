#pragma once

#include <condition_variable>
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
        while (!mine.done) {
            if (committing_) {
                mine.woken.wait(lock);
                continue;
            }
            committing_ = true;
            const std::vector<Waiting*> batch = std::exchange(queued_, {});
            lock.unlock();
            std::vector<Part> parts;
            parts.reserve(batch.size());
            for (Waiting* waiting : batch) {
                parts.push_back(std::move(waiting->part));
            }
            const bool written = commit_(parts);
            lock.lock();
            // Each caller is woken once, by the commit that holds its part;
            // the first one queued since makes the next commit.
            for (Waiting* waiting : batch) {
                waiting->done = true;
                waiting->written = written;
                waiting->woken.notify_one();
            }
            committing_ = false;
            if (!queued_.empty()) {
                queued_.front()->woken.notify_one();
            }
        }
        return mine.written;
    }

  private:
    struct Waiting {
        explicit Waiting(Part waiting) : part(std::move(waiting)) {}
        Part part;
        bool done = false;
        bool written = false;
        std::condition_variable woken;
    };

    Commit commit_;
    std::mutex mutex_;
    std::vector<Waiting*> queued_;
    bool committing_ = false;
};

}  // namespace kps
