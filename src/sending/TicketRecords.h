#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sending/PrintJob.h"
#include "startup/Clock.h"

namespace kps {

enum class RecordState {
    Queued,        // in a lane: its own printer's, or the divert printer's when diverted
    QuestionOpen,  // its printer did not open; the operator is asked where it goes
    DivertQueued,  // in the divert printer's lane
    Printed,       // on paper; its marking failed and is tried again
};

// One ticket (kitchen ticket, notice copy, reprint, probe) from composition
// until its items are marked or released.
struct TicketRecord {
    unsigned long id = 0;
    RecordState state = RecordState::Queued;
    PrintJob job;               // as composed: its own printer, lines and items
    bool mayBeOnPaper = false;  // a copy may be on paper: every further copy is labelled
    bool asking = false;        // a divert question about it is open or waiting
    std::string divertDevice;   // DivertQueued: where it is being printed
};

// Owns every ticket on its way to paper, and what its items carry from one
// ticket to the next: whether a copy may already be on paper, and which
// devices of their group they have passed. An item belongs to at most one
// record. States change only through the transitions below. Tick thread only.
class TicketRecords {
  public:
    // Composed and queued: a record holding the job's items. Throws when an
    // item is held already (composition never offers a held item).
    TicketRecord& Compose(PrintJob job);

    TicketRecord* Find(unsigned long id);
    const std::map<unsigned long, TicketRecord>& All() const { return records_; }

    // A copy left for the printer and may be on paper.
    void BytesLeft(TicketRecord& record) { record.mayBeOnPaper = true; }
    void OpenQuestion(TicketRecord& record);
    // Its question ended; a divert under way goes on.
    void EndAsking(TicketRecord& record);
    void QueueDivert(TicketRecord& record, const std::string& divertDevice);
    // A divert print that did not come out, with its question still open.
    void DivertFailed(TicketRecord& record);
    void Printed(TicketRecord& record) { record.state = RecordState::Printed; }

    // Ends: the items are marked printed and forgotten.
    void Marked(unsigned long id);
    // Ends: the items wait again for their own device.
    void Released(unsigned long id);
    // Ends: the items wait for the next device of their group.
    void HandedOn(unsigned long id);

    bool Holds(const std::string& item) const { return holders_.contains(item); }
    // The record holding `item`, 0 when none.
    unsigned long HolderOf(const std::string& item) const;
    // The item may already be on paper (a copy left, the reprint journal,
    // a take-over): its next ticket is labelled.
    bool MayBeOnPaper(const std::string& item) const { return onPaper_.contains(item); }
    bool AnyMayBeOnPaper() const { return !onPaper_.empty(); }
    void NoteMayBeOnPaper(const std::vector<std::string>& items);
    // A device of the item's group that could not print it: the group's
    // later devices take it, this one only when none of them can.
    bool PassedOver(const std::string& item, const std::string& device) const;

    // A device with a divert question open or waiting gets no new ticket.
    bool Questioned(const std::string& device) const { return asking_.contains(device); }

    // A device that could not print at `now` is skipped by later tickets of
    // a group with a later device for `seconds`.
    void DeviceDown(const std::string& device, const LocalDateTime& now, int seconds);
    void DeviceUp(const std::string& device);
    bool Down(const std::string& device, const LocalDateTime& now) const;

    // A device whose ticket failed at `now` gets nothing new within that
    // second of the clock: passes woken by reports or orders must not try a
    // printer that fails at once as fast as they come.
    void DeviceFailed(const std::string& device, const LocalDateTime& now);
    bool FailedThisSecond(const std::string& device, const LocalDateTime& now) const;

    // Notices: which devices took a waiting notice. It is marked printed
    // once every device that can take it took it, and at least one did.
    bool Delivered(const std::string& noticeId, const std::string& device) const;
    void MarkDelivered(const std::string& noticeId, const std::string& device);
    void ExpectNotice(const std::string& noticeId, std::set<std::string> devices);
    bool AllDelivered(const std::string& noticeId) const;
    void ForgetNotice(const std::string& noticeId);

  private:
    void End(unsigned long id);

    unsigned long next_ = 0;
    std::map<unsigned long, TicketRecord> records_;
    std::map<std::string, unsigned long> holders_;
    std::set<std::string> onPaper_;
    std::map<std::string, std::set<std::string>> passed_;
    std::map<std::string, int> asking_;  // device, records with a question
    // device, SecondsOf when it went down and of its next try
    std::map<std::string, std::pair<long long, long long>> down_;
    std::map<std::string, long long> failedAt_;  // device, SecondsOf its last failure
    std::set<std::pair<std::string, std::string>> delivered_;
    std::map<std::string, std::set<std::string>> expected_;
};

}  // namespace kps
