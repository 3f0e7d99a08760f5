#pragma once

#include "output/EncodingResources.h"
#include "output/OposPrinterRoutines.h"
#include "sending/JobJournal.h"
#include "sending/JobRunner.h"
#include "sending/LeaseFence.h"
#include "startup/SecondsHistogram.h"

namespace kps {

// Runs a lane's jobs on that lane's own printer control: a network ticket
// by OpenOpsLDN and PrintOposTicket, a divert print as the divert dialog
// prints it (short claim, banner first), a direct-port ticket by writing the
// port, a probe by OpenOpsLDN and closing at once. Nothing is shown to the
// operator here: trapped faults travel in the report to the tick thread.
class LaneJobRunner final : public JobRunner {
  public:
    // `journal`, when given, records each job just before its first byte
    // leaves; a job it cannot record is not sent (NotRecorded). `fence`,
    // when given, is looked at after that, the last thing before the first
    // byte: a closed fence sends nothing of the job and reports it NotLeased
    // (its record is undone on settling). `text`, when given, draws the
    // lines of a direct port whose encoding asks for images. `latency`,
    // when given, counts how long each kitchen ticket took to its first byte.
    LaneJobRunner(PosPrinter& printer, Pinger& pinger, WaitPause& pause, const PrintLog& log,
                  JobJournal* journal = nullptr, const LeaseFence* fence = nullptr,
                  EncodingResources* text = nullptr, SecondsHistogram* latency = nullptr);

    JobReport Run(const PrintJob& job) override;

  private:
    // Collects the routines' error reports for the job being run.
    class FaultCollector final : public Operator {
      public:
        MessageAnswer ShowMessage(const std::string&, const std::string&, MessageIcon,
                                  MessageButtons) override {
            return MessageAnswer::No;
        }
        void ShowErrorReport(const std::string& where, long number, const std::string& description,
                             const std::string& routine) override {
            faults.push_back({where, number, description, routine});
        }
        std::vector<RoutineFault> faults;
    };

    void RunTicket(const PrintJob& job, JobReport& report);
    void RunProbe(const PrintJob& job, JobReport& report);
    void RunDivert(const PrintJob& job, JobReport& report);
    void RunDirect(const PrintJob& job, JobReport& report);

    // False, with the report saying why, when the job must not start: its
    // record cannot be written, or the fence is closed. The fence comes
    // last, so that a slow journal write cannot come between it and the byte.
    bool MayStart(const PrintJob& job, JobReport& report);

    PosPrinter& printer_;
    const PrintLog& log_;
    JobJournal* journal_;
    const LeaseFence* fence_;
    EncodingResources* text_;
    SecondsHistogram* latency_;
    FaultCollector faults_;
    OposPrinterRoutines main_;    // as the main window opens a printer
    OposPrinterRoutines divert_;  // as the divert dialog opens one
};

}  // namespace kps
