#include "sending/TicketRecords.h"

#include "text/KpsError.h"

namespace kps {

TicketRecord& TicketRecords::Compose(PrintJob job) {
    for (const std::string& item : job.itemIds) {
        if (Holds(item)) {
            throw KpsError(kErrPrinter, "Item " + item + " is held by ticket " +
                                            std::to_string(HolderOf(item)) + " already");
        }
    }
    const unsigned long id = ++next_;
    job.record = id;
    for (const std::string& item : job.itemIds) {
        holders_[item] = id;
    }
    TicketRecord& record = records_[id];
    record.id = id;
    record.job = std::move(job);
    return record;
}

TicketRecord* TicketRecords::Find(unsigned long id) {
    auto found = records_.find(id);
    return found == records_.end() ? nullptr : &found->second;
}

unsigned long TicketRecords::HolderOf(const std::string& item) const {
    auto found = holders_.find(item);
    return found == holders_.end() ? 0 : found->second;
}

void TicketRecords::OpenQuestion(TicketRecord& record) {
    record.state = RecordState::QuestionOpen;
    if (!record.asking) {
        record.asking = true;
        ++asking_[record.job.device];
    }
}

void TicketRecords::EndAsking(TicketRecord& record) {
    if (record.asking) {
        record.asking = false;
        if (--asking_[record.job.device] == 0) {
            asking_.erase(record.job.device);
        }
    }
}

void TicketRecords::QueueDivert(TicketRecord& record, const std::string& divertDevice) {
    record.state = RecordState::DivertQueued;
    record.divertDevice = divertDevice;
}

void TicketRecords::DivertFailed(TicketRecord& record) {
    record.state = RecordState::QuestionOpen;
    record.divertDevice.clear();
}

void TicketRecords::Marked(unsigned long id) {
    if (TicketRecord* record = Find(id)) {
        for (const std::string& item : record->job.itemIds) {
            onPaper_.erase(item);
            passed_.erase(item);
        }
        End(id);
    }
}

void TicketRecords::Released(unsigned long id) {
    if (TicketRecord* record = Find(id)) {
        if (record->mayBeOnPaper) {
            NoteMayBeOnPaper(record->job.itemIds);
        }
        End(id);
    }
}

void TicketRecords::HandedOn(unsigned long id) {
    if (TicketRecord* record = Find(id)) {
        for (const std::string& item : record->job.itemIds) {
            passed_[item].insert(record->job.device);
        }
        Released(id);
    }
}

void TicketRecords::End(unsigned long id) {
    TicketRecord& record = records_.at(id);
    EndAsking(record);
    for (const std::string& item : record.job.itemIds) {
        holders_.erase(item);
    }
    records_.erase(id);
}

void TicketRecords::NoteMayBeOnPaper(const std::vector<std::string>& items) {
    onPaper_.insert(items.begin(), items.end());
}

bool TicketRecords::PassedOver(const std::string& item, const std::string& device) const {
    auto found = passed_.find(item);
    return found != passed_.end() && found->second.contains(device);
}

void TicketRecords::DeviceDown(const std::string& device, const LocalDateTime& now, int seconds) {
    const long long since = SecondsOf(now);
    down_[device] = {since, since + seconds};
}

void TicketRecords::DeviceUp(const std::string& device) {
    down_.erase(device);
    failedAt_.erase(device);
}

void TicketRecords::DeviceFailed(const std::string& device, const LocalDateTime& now) {
    failedAt_[device] = SecondsOf(now);
}

bool TicketRecords::FailedThisSecond(const std::string& device, const LocalDateTime& now) const {
    auto found = failedAt_.find(device);
    return found != failedAt_.end() && found->second == SecondsOf(now);
}

bool TicketRecords::Down(const std::string& device, const LocalDateTime& now) const {
    auto found = down_.find(device);
    if (found == down_.end()) {
        return false;
    }
    // A clock set back (the end of summer time) must not keep it down for an hour.
    const long long at = SecondsOf(now);
    return found->second.first <= at && at < found->second.second;
}

bool TicketRecords::Delivered(const std::string& noticeId, const std::string& device) const {
    return delivered_.contains({noticeId, device});
}

void TicketRecords::MarkDelivered(const std::string& noticeId, const std::string& device) {
    delivered_.insert({noticeId, device});
}

void TicketRecords::ExpectNotice(const std::string& noticeId, std::set<std::string> devices) {
    expected_[noticeId] = std::move(devices);
}

bool TicketRecords::AllDelivered(const std::string& noticeId) const {
    auto expected = expected_.find(noticeId);
    if (expected == expected_.end() || expected->second.empty()) {
        return false;
    }
    for (const auto& device : expected->second) {
        if (!Delivered(noticeId, device)) {
            return false;
        }
    }
    return true;
}

void TicketRecords::ForgetNotice(const std::string& noticeId) {
    std::erase_if(delivered_, [&](const auto& entry) { return entry.first == noticeId; });
    expected_.erase(noticeId);
}

}  // namespace kps
