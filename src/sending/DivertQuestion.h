#pragma once

#include <string>

#include "sending/PrintJob.h"

namespace kps {

// The divert question about one ticket whose printer did not open: where it
// should go instead. Its id is the ticket record's.
struct DivertQuestion {
    unsigned long id = 0;
    std::string device;         // the ticket's own printer (OriPrinter)
    std::string divertDevice;   // its divert printer (OPrinterName); "" when none is set
    std::string divertAddress;  // the divert printer's address (oIPAddress)
    std::string label;          // the dialog's message when it opens
};

// Asks the operator (or a fixed policy) the divert questions, one at a time.
// Nothing here waits: the answers come back through DivertAnswers.
class DivertQuestionHost {
  public:
    virtual ~DivertQuestionHost() = default;

    virtual void Ask(const DivertQuestion& question) = 0;

    // The divert print the operator asked for did not come out; the question
    // is open again. False when nobody will answer it again (headless).
    virtual bool DivertFailed(const DivertQuestion& question, const JobReport& report) = 0;

    // The question has ended, answered or not.
    virtual void End(unsigned long question) = 0;
};

// The operator's answers to a divert question. An answer to a question that
// has ended meanwhile changes nothing.
class DivertAnswers {
  public:
    virtual ~DivertAnswers() = default;

    // Prints the ticket on `device` at `address`; with `forEveryTicket`, every
    // later ticket of the failing printer goes there without asking until
    // that printer prints again.
    virtual void Divert(unsigned long question, const std::string& device,
                        const std::string& address, bool forEveryTicket) = 0;

    // "CANCEL PRINTING": `printer` (the failing one, as the dialog names it)
    // is suspended; the ticket goes to the next device of its group, or waits.
    virtual void Cancel(unsigned long question, const std::string& printer) = 0;

    // Nobody will answer (headless, after a failed divert or with no divert
    // printer): the ticket goes to the next device of its group, or waits.
    virtual void GiveUp(unsigned long question) = 0;

    // The dialog was closed without an answer: the ticket waits for its own
    // printer; a divert print already under way still settles it.
    virtual void Close(unsigned long question) = 0;
};

}  // namespace kps
