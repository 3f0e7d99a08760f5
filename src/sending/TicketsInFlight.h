#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kps {

// What the tick has handed to a lane, a divert question or a failed marking
// and not yet settled: such items and notices are not composed again until
// their lane reports. Also which devices took each waiting notice. Used by
// the tick thread only.
class TicketsInFlight {
  public:
    bool HoldsItem(const std::string& id) const { return items_.contains(id); }
    void HoldItems(const std::vector<std::string>& ids);
    void ReleaseItems(const std::vector<std::string>& ids);

    bool HoldsNotice(const std::string& noticeId, const std::string& device) const;
    void HoldNotice(const std::string& noticeId, const std::string& device);
    void ReleaseNotice(const std::string& noticeId, const std::string& device);

    // The devices that took a notice: it is marked printed once every
    // device it goes to has taken it, and no device gets it twice.
    bool Delivered(const std::string& noticeId, const std::string& device) const;
    void MarkDelivered(const std::string& noticeId, const std::string& device);
    // The devices notice `noticeId` goes to, as the last pass found them.
    void ExpectNotice(const std::string& noticeId, std::set<std::string> devices);
    bool AllDelivered(const std::string& noticeId) const;
    void ForgetNotice(const std::string& noticeId);

    // Items that may already be on paper (found in the reprint journal, or
    // waiting when this server took over from another): composition prints
    // them as a ticket of their own, labelled. Forgotten once marked.
    void SuspectItems(const std::vector<std::string>& ids);
    bool IsSuspect(const std::string& id) const { return suspects_.contains(id); }
    bool HasSuspects() const { return !suspects_.empty(); }
    void ClearSuspects(const std::vector<std::string>& ids);

    // A device with a divert question open or waiting gets no new ticket.
    bool Questioned(const std::string& device) const { return questioned_.contains(device); }
    void SetQuestioned(const std::string& device, bool questioned);

  private:
    std::set<std::string> items_;
    std::set<std::string> suspects_;
    std::set<std::pair<std::string, std::string>> notices_;
    std::set<std::pair<std::string, std::string>> delivered_;
    std::map<std::string, std::set<std::string>> expected_;
    std::set<std::string> questioned_;
};

}  // namespace kps
