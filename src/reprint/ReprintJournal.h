#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "startup/GroupCommit.h"
#include "startup/PrintLog.h"

namespace kps {

// What may be on paper without being marked printed, kept across a crash:
// the items of every job a lane has started to send, until they are marked
// (or the printer reports that no byte left), and the devices that took
// each waiting notice. An append-only file in the state folder, synced
// before a job's first byte; lanes and the tick thread both write it, and
// lanes starting together share one sync. Each
// entry is framed with its length and checksum, so one cut short by a crash
// or a full disk costs only itself. A journal that cannot be written is
// logged each time it starts or stops failing, and printing goes on.
class ReprintJournal {
  public:
    struct Contents {
        std::vector<std::string> items;  // possibly printed, never marked
        std::vector<std::pair<std::string, std::string>> deliveries;  // notice, device
    };

    // Which of the given items (IDs, notice copy keys) still wait to print.
    using WaitingCheck = std::function<std::set<std::string>(const std::vector<std::string>&)>;

    // Past this size the tick thread rewrites the journal with what is
    // still needed.
    static constexpr std::size_t kCompactBytes = 64 * 1024;

    // `file` empty: no journal.
    ReprintJournal(std::string file, const PrintLog& log);
    ~ReprintJournal();
    ReprintJournal(const ReprintJournal&) = delete;
    ReprintJournal& operator=(const ReprintJournal&) = delete;

    // Reads what an earlier run left and starts the file afresh with it. A
    // file with a damaged entry is set aside; its sound entries are kept.
    Contents Load();

    // Lets compaction drop the entries of items that no longer wait (marked
    // by another server, or gone). Tick thread only: it asks the database.
    void SetWaitingCheck(WaitingCheck check) { waiting_ = std::move(check); }

    // Returns once the entry is durable (or the file is failing, logged).
    void JobStarted(unsigned long job, const std::vector<std::string>& itemIds);
    // Nothing of job `job` reached the printer.
    void JobUnsent(unsigned long job);
    // The items are marked printed: no entry needs them any more.
    void ItemsMarked(const std::vector<std::string>& itemIds);

    void NoticeDelivered(const std::string& noticeId, const std::string& device);
    void NoticeDone(const std::string& noticeId);

  private:
    void Replay(const std::vector<std::string>& fields);
    // False when nothing was appended.
    bool Append(const std::string& entry);
    bool AppendFrames(const std::string& bytes);
    // Appends the framed entries and syncs them; false when they may not be on disk.
    bool WriteDurably(const std::vector<std::string>& frames);
    void Rewrite();
    void CompactIfLarge();
    void Failed(const std::string& what);
    void Worked();

    std::string file_;
    const PrintLog& log_;
    WaitingCheck waiting_;
    std::mutex mutex_;
    int fd_ = -1;
    bool failing_ = false;
    std::size_t size_ = 0;                   // bytes in the file since it was last rewritten
    std::size_t compactAt_ = kCompactBytes;  // grows when what is still needed is large
    std::map<unsigned long, std::set<std::string>> jobs_;
    std::set<std::pair<std::string, std::string>> deliveries_;
    // The framed entries that must be on disk before their callers go on.
    GroupCommit<std::string> commits_;
};

}  // namespace kps
