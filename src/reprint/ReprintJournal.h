#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "startup/PrintLog.h"

namespace kps {

// What may be on paper without being marked printed, kept across a crash:
// the items of every job a lane has started to send, until they are marked
// (or the printer reports that no byte left), and the devices that took
// each waiting notice. An append-only file in the state folder, synced
// before a job's first byte; lanes and the tick thread both write it. A
// journal that cannot be written is logged once and printing goes on.
class ReprintJournal {
  public:
    struct Contents {
        std::vector<std::string> items;  // possibly printed, never marked
        std::vector<std::pair<std::string, std::string>> deliveries;  // notice, device
    };

    // `file` empty: no journal.
    ReprintJournal(std::string file, const PrintLog& log);
    ~ReprintJournal();
    ReprintJournal(const ReprintJournal&) = delete;
    ReprintJournal& operator=(const ReprintJournal&) = delete;

    // Reads what an earlier run left (a torn last line is ignored) and
    // starts the file afresh with it.
    Contents Load();

    // A lane is about to send the first byte of job `job`.
    void JobStarted(unsigned long job, const std::vector<std::string>& itemIds);
    // Nothing of job `job` reached the printer.
    void JobUnsent(unsigned long job);
    // The items are marked printed: no entry needs them any more.
    void ItemsMarked(const std::vector<std::string>& itemIds);

    void NoticeDelivered(const std::string& noticeId, const std::string& device);
    void NoticeDone(const std::string& noticeId);

  private:
    void Replay(const std::vector<std::string>& fields);
    void Append(const std::string& line, bool sync);
    void Rewrite();
    void Failed(const std::string& what);

    std::string file_;
    const PrintLog& log_;
    std::mutex mutex_;
    int fd_ = -1;
    bool failed_ = false;
    std::map<unsigned long, std::set<std::string>> jobs_;
    std::set<std::pair<std::string, std::string>> deliveries_;
};

}  // namespace kps
