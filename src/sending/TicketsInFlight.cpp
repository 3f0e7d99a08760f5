#include "sending/TicketsInFlight.h"

namespace kps {

void TicketsInFlight::HoldItems(const std::vector<std::string>& ids) {
    items_.insert(ids.begin(), ids.end());
}

void TicketsInFlight::SuspectItems(const std::vector<std::string>& ids) {
    suspects_.insert(ids.begin(), ids.end());
}

void TicketsInFlight::ClearSuspects(const std::vector<std::string>& ids) {
    for (const auto& id : ids) {
        suspects_.erase(id);
    }
}

void TicketsInFlight::ReleaseItems(const std::vector<std::string>& ids) {
    for (const auto& id : ids) {
        items_.erase(id);
    }
}

bool TicketsInFlight::HoldsNotice(const std::string& noticeId, const std::string& device) const {
    return notices_.contains({noticeId, device});
}

void TicketsInFlight::HoldNotice(const std::string& noticeId, const std::string& device) {
    notices_.insert({noticeId, device});
}

void TicketsInFlight::ReleaseNotice(const std::string& noticeId, const std::string& device) {
    notices_.erase({noticeId, device});
}

bool TicketsInFlight::Delivered(const std::string& noticeId, const std::string& device) const {
    return delivered_.contains({noticeId, device});
}

void TicketsInFlight::MarkDelivered(const std::string& noticeId, const std::string& device) {
    delivered_.insert({noticeId, device});
}

void TicketsInFlight::ExpectNotice(const std::string& noticeId, std::set<std::string> devices) {
    expected_[noticeId] = std::move(devices);
}

bool TicketsInFlight::AllDelivered(const std::string& noticeId) const {
    auto expected = expected_.find(noticeId);
    if (expected == expected_.end()) {
        return false;
    }
    for (const auto& device : expected->second) {
        if (!Delivered(noticeId, device)) {
            return false;
        }
    }
    return true;
}

void TicketsInFlight::ForgetNotice(const std::string& noticeId) {
    std::erase_if(delivered_, [&](const auto& entry) { return entry.first == noticeId; });
    expected_.erase(noticeId);
}

void TicketsInFlight::SetQuestioned(const std::string& device, bool questioned) {
    if (questioned) {
        questioned_.insert(device);
    } else {
        questioned_.erase(device);
    }
}

}  // namespace kps
