#include "dialogs/TRDIVET.h"

namespace kps {

namespace {

constexpr const char* kCrLf = "\r\n";

// The numbers the suite's message boxes answer with.
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

OposRoutineOptions DialogOptions() {
    OposRoutineOptions options;
    options.claimTimeoutMs = 50;
    options.pauseOnBadResult = false;
    options.owner = "TRDIVET";
    return options;
}

}  // namespace

TRDIVET::TRDIVET(PosPrinter& printer, Pinger& pinger, WaitPause& pause, const PrintLog& log,
                 Operator& op, const PrinterCodes& codes, DivertState& divert)
    : routines_(printer, pinger, pause, log, op, DialogOptions()),
      log_(log),
      operator_(op),
      codes_(codes),
      divert_(divert) {}

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
    if (!routines_.OpenOpsLDN(OPrinterName, oIPAddress)) {
        ++RetryCount;
        Label1 =
            "ERROR Open Printer '" + OPrinterName + "' " + std::to_string(RetryCount) + " time(s)";
        Repaint();
        return;
    }
    Command1Enabled = false;
    Command2Enabled = false;
    Repaint();
    if (PrintHeldTicket()) {
        divert_.DivertSucceeded = true;
        Close();
        return;
    }
    // A ticket that did not come out is not printed: the operator decides again.
    Command1Enabled = true;
    Command2Enabled = true;
    Repaint();
}

bool TRDIVET::PrintHeldTicket() {
    PosPrinter& printer = routines_.Printer();
    if (List1.empty()) {
        routines_.CloseOpsLDN();
        ShowFailure("ERROR Printing at '" + OPrinterName + "'");
        return false;
    }
    if (printer.CheckHealth(OPOS_CH_INTERNAL) != 0 || printer.CoverOpen()) {
        ShowFailure("ERROR Open Printer '" + OPrinterName + "'");
        routines_.CloseOpsLDN();
        return false;
    }
    const bool canCut = printer.CapRecPapercut();
    if (!divert_.DivertBanner.empty()) {
        const std::string centre = canCut ? codes_.CodeCentre : std::string();
        printer.PrintNormal(PTR_S_RECEIPT, centre + divert_.DivertBanner + kCrLf);
    }
    for (const auto& line : List1) {
        printer.PrintNormal(PTR_S_RECEIPT, line);
    }
    printer.PrintNormal(PTR_S_RECEIPT, canCut ? codes_.CodeFeedCut : std::string(kCrLf));
    const bool printed = printer.ResultCode() == OPOS_SUCCESS;
    if (printed) {
        log_.WriteLog("Printing Success divert to '" + OPrinterName + "'");
    } else {
        ShowFailure("ERROR Printing at '" + OPrinterName + "'");
    }
    routines_.CloseOpsLDN();
    return printed;
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
