#include "sending/PrinterStates.h"

#include <algorithm>

namespace kps {

void PrinterStates::OnPrinted(const std::string& device, LocalDateTime when) {
    PrinterStatus& status = Find(device);
    status.lastPrinted = when;
    ++status.ticketsPrinted;
    Report(device, {PrinterState::Printing, PrintFault::None});
    NotifyAll();
}

void PrinterStates::OnFailed(const std::string& device, PrintFault reason) {
    ++Find(device).failures;
    Report(device, {PrinterState::NotPrinting, reason});
    NotifyAll();
}

void PrinterStates::OnQuestionOpened(const std::string& device) {
    PrinterStatus& status = Find(device);
    if (status.state == PrinterState::QuestionPending) {
        return;
    }
    beforeQuestion_[device] = {status.state, status.reason};
    Set(status, {PrinterState::QuestionPending, status.reason});
    NotifyAll();
}

void PrinterStates::OnQuestionClosed(const std::string& device) {
    auto before = beforeQuestion_.find(device);
    if (before == beforeQuestion_.end()) {
        return;
    }
    Entry entry = before->second;
    beforeQuestion_.erase(before);
    Set(Find(device), entry);
    NotifyAll();
}

void PrinterStates::OnSuspended(const std::string& device) {
    beforeQuestion_.erase(device);
    Set(Find(device), {PrinterState::Suspended, PrintFault::None});
    NotifyAll();
}

void PrinterStates::OnResumed(const std::string& device) {
    if (PrinterStatus* status = FindSuspended(device)) {
        Set(*status, {PrinterState::Printing, PrintFault::None});
        NotifyAll();
    }
}

void PrinterStates::OnProbed(const std::string& device, bool answered) {
    PrinterStatus* status = FindSuspended(device);
    if (status == nullptr || status->answersAgain == answered) {
        return;
    }
    status->answersAgain = answered;
    if (listener_ != nullptr) {
        listener_->Changed(*status);
    }
    NotifyAll();
}

void PrinterStates::SetWaitingItems(const std::map<std::string, long>& perDevice) {
    bool changed = false;
    for (const auto& [device, count] : perDevice) {
        PrinterStatus& status = Find(device);
        changed = changed || status.waitingItems != count;
        status.waitingItems = count;
    }
    for (PrinterStatus& status : printers_) {
        if (!perDevice.contains(status.device) && status.waitingItems != 0) {
            status.waitingItems = 0;
            changed = true;
        }
    }
    if (changed) {
        NotifyAll();
    }
}

void PrinterStates::SetStandby(bool standby) {
    if (standby_ != standby) {
        standby_ = standby;
        if (listener_ != nullptr) {
            listener_->StandbyChanged(standby);
        }
        NotifyAll();
    }
}

void PrinterStates::SetUnroutable(long items) {
    if (unroutable_ != items) {
        unroutable_ = items;
        NotifyAll();
    }
}

long PrinterStates::NotPrintingCount() const {
    return std::count_if(printers_.begin(), printers_.end(), [](const PrinterStatus& status) {
        return status.state != PrinterState::Printing;
    });
}

PrinterStatus& PrinterStates::Find(const std::string& device) {
    auto found = std::find_if(printers_.begin(), printers_.end(),
                              [&](const PrinterStatus& status) { return status.device == device; });
    if (found != printers_.end()) {
        return *found;
    }
    PrinterStatus& added = printers_.emplace_back();
    added.device = device;
    return added;
}

PrinterStatus* PrinterStates::FindSuspended(const std::string& device) {
    auto found = std::find_if(printers_.begin(), printers_.end(), [&](const PrinterStatus& status) {
        return status.device == device && status.state == PrinterState::Suspended;
    });
    return found == printers_.end() ? nullptr : &*found;
}

void PrinterStates::Report(const std::string& device, Entry entry) {
    PrinterStatus& status = Find(device);
    if (status.state == PrinterState::Suspended) {
        return;  // only the operator lifts a suspension
    }
    auto before = beforeQuestion_.find(device);
    if (before == beforeQuestion_.end()) {
        Set(status, entry);
    } else if (before->second.state != PrinterState::Suspended) {
        before->second = entry;
    }
}

void PrinterStates::Set(PrinterStatus& status, Entry entry) {
    if (status.state == entry.state && status.reason == entry.reason) {
        return;
    }
    status.answersAgain = false;  // only a probe of a suspension, once it began, says so
    status.state = entry.state;
    status.reason = entry.reason;
    if (listener_ != nullptr) {
        listener_->Changed(status);
    }
}

void PrinterStates::NotifyAll() {
    if (listener_ != nullptr) {
        listener_->Changed();
    }
}

}  // namespace kps
