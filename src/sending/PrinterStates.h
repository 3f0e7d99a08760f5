#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "output/PrintFault.h"
#include "startup/Clock.h"

namespace kps {

enum class PrinterState { Printing, NotPrinting, QuestionPending, Suspended };

struct PrinterStatus {
    std::string device;  // DeviceName
    PrinterState state = PrinterState::Printing;
    PrintFault reason = PrintFault::None;  // when NotPrinting
    std::optional<LocalDateTime> lastPrinted;
    long waitingItems = 0;      // waiting items routed to it through its groups' flags
    bool answersAgain = false;  // Suspended: the last probe found it answering
    long ticketsPrinted = 0;    // since the server started
    long failures = 0;          // failed jobs since the server started
};

// Told of every change the views show.
class PrinterStatesListener {
  public:
    virtual ~PrinterStatesListener() = default;
    // A device's state, reason or answersAgain changed (not called for a
    // repeated report).
    virtual void Changed(const PrinterStatus& status) = 0;
    // Anything shown changed; follows every Changed(status) too.
    virtual void Changed() = 0;
    // The server went on or came off standby; followed by Changed().
    virtual void StandbyChanged(bool /*standby*/) {}
};

// What each printer is doing, as the lanes, the divert questions and the
// operator's commands report it. Driven by the tick thread only.
class PrinterStates {
  public:
    void OnPrinted(const std::string& device, LocalDateTime when);
    void OnFailed(const std::string& device, PrintFault reason);
    void OnQuestionOpened(const std::string& device);
    // Back to the state the device had when the question opened, or to the
    // one reported while the question was open.
    void OnQuestionClosed(const std::string& device);
    // "CANCEL PRINTING": the operator stopped the printer.
    void OnSuspended(const std::string& device);
    // Resume or Restart.
    void OnResumed(const std::string& device);
    // A probe of a suspended device answered or not: it stays suspended
    // either way, only flagged while it answers. Ignored for any other device.
    void OnProbed(const std::string& device, bool answered);
    // Devices missing from `perDevice` have no waiting items.
    void SetWaitingItems(const std::map<std::string, long>& perDevice);
    void SetStandby(bool standby);
    // Items no device can take.
    void SetUnroutable(long items);

    // Ordered by first appearance.
    const std::vector<PrinterStatus>& Printers() const { return printers_; }
    bool Standby() const { return standby_; }
    long Unroutable() const { return unroutable_; }
    // Devices not printing, waiting for a question or suspended.
    long NotPrintingCount() const;

    void SetListener(PrinterStatesListener* listener) { listener_ = listener; }

  private:
    struct Entry {
        PrinterState state = PrinterState::Printing;
        PrintFault reason = PrintFault::None;
    };

    PrinterStatus& Find(const std::string& device);
    // Null unless the device is known and suspended; never adds one.
    PrinterStatus* FindSuspended(const std::string& device);
    // Sets state and reason (or, while a question is open, what it returns to).
    void Report(const std::string& device, Entry entry);
    void Set(PrinterStatus& status, Entry entry);
    void NotifyAll();

    std::vector<PrinterStatus> printers_;
    std::map<std::string, Entry> beforeQuestion_;
    bool standby_ = false;
    long unroutable_ = 0;
    PrinterStatesListener* listener_ = nullptr;
};

}  // namespace kps
