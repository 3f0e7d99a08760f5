#include "dialogs/TRDIVET.h"

namespace kps {

namespace {

// The numbers the suite's message boxes answer with.
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

}  // namespace

TRDIVET::TRDIVET(PrinterLanes& lanes, const PrintLog& log, Operator& op, const PrinterCodes& codes,
                 DivertState& divert)
    : lanes_(lanes), log_(log), operator_(op), codes_(codes), divert_(divert) {}

void TRDIVET::Open(DivertDialogView& view) {
    view_ = &view;
    Load();
    Activate();
}

void TRDIVET::Load() {
    if (view_ != nullptr) {
        view_->SetWindowTopmost(true);
    }
    Label1 = divert_.DivertLabelText;
    RetryCount = 0;
    // A success of an earlier dialog must not mark this ticket's items.
    divert_.DivertSucceeded = false;
    Command1Enabled = true;
    Command2Enabled = true;
    Closed = false;
}

void TRDIVET::Activate() {
    Command1Caption = "DIVERT/RETRY TO '" + OPrinterName + "'";
    Repaint();
}

void TRDIVET::Command1() {
    log_.WriteLog("Retry Printing at '" + OPrinterName + "'");
    PrintJob job;
    job.kind = JobKind::Divert;
    job.device = OPrinterName;
    // Not a one-letter literal: GCC 12 warns falsely (-Wrestrict) on it at -O3.
    job.printingType = std::string(1, 'O');
    job.address = oIPAddress;
    job.codes = codes_;
    job.lines = List1;
    job.banner = divert_.DivertBanner;
    job.itemIds = List2;
    job.billIds = List3;
    job.owner = OriPrinter;
    job.question = Question;
    lanes_.Submit(std::move(job));
    Command1Enabled = false;
    Command2Enabled = false;
    Repaint();
}

void TRDIVET::OnDivertReport(const JobReport& report) {
    if (report.printed) {
        divert_.DivertSucceeded = true;
        Close();
        return;
    }
    // A ticket that did not come out is not printed: the operator decides again.
    Command1Enabled = true;
    Command2Enabled = true;
    if (!report.opened) {
        ++RetryCount;
        ShowFailure("ERROR Open Printer '" + OPrinterName + "' " + std::to_string(RetryCount) +
                    " time(s)");
        return;
    }
    ShowFailure(report.failureText);
}

void TRDIVET::Command2() {
    log_.WriteLog("Cancel Printing at printer '" + OPrinterName + "'");
    divert_.CancelledPrinters.insert(OriPrinter);
    divert_.DivertSucceeded = false;
    Close();
}

void TRDIVET::Image1DoubleClick() {
    const MessageAnswer answer = operator_.ShowMessage(
        "Stop divert ?", "Exit", MessageIcon::Question, MessageButtons::YesNo);
    StopDivertAnswer = std::to_string(answer == MessageAnswer::Yes ? kAnswerYes : kAnswerNo);
    Close();
}

void TRDIVET::Unload() {
    List1.clear();
    List2.clear();
    List3.clear();
    view_ = nullptr;
}

void TRDIVET::ShowFailure(const std::string& message) {
    Label1 = message;
    Repaint();
}

void TRDIVET::Repaint() {
    if (view_ != nullptr) {
        view_->Repaint();
    }
}

void TRDIVET::Close() {
    Closed = true;
    Repaint();
}

}  // namespace kps
