#include "dialogs/TRDIVET.h"

namespace kps {

namespace {

// The numbers the suite's message boxes answer with.
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

}  // namespace

TRDIVET::TRDIVET(DivertAnswers& answers, DivertDialogHost& host, const PrintLog& log, Operator& op)
    : answers_(answers), host_(host), log_(log), operator_(op) {}

void TRDIVET::Ask(const DivertQuestion& question) {
    question_ = question;
    Question = question.id;
    OPrinterName = question.divertDevice;
    oIPAddress = question.divertAddress;
    OriPrinter = question.device;
    host_.Show(*this);
}

bool TRDIVET::DivertFailed(const DivertQuestion& question, const JobReport& report) {
    if (question.id != Question) {
        return false;
    }
    // A ticket that did not come out is not printed: the operator decides again.
    Command1Enabled = true;
    Command2Enabled = true;
    if (!report.opened) {
        ++RetryCount;
        ShowFailure("ERROR Open Printer '" + OPrinterName + "' " + std::to_string(RetryCount) +
                    " time(s)");
    } else {
        ShowFailure(report.failureText);
    }
    return host_.KeepAsking(*this);
}

void TRDIVET::End(unsigned long question) {
    if (question != Question) {
        return;
    }
    Closed = true;
    Question = 0;
    host_.Hide(*this);
    view_ = nullptr;
}

void TRDIVET::Open(DivertDialogView& view) {
    view_ = &view;
    Load();
    Activate();
}

void TRDIVET::Load() {
    if (view_ != nullptr) {
        view_->SetWindowTopmost(true);
    }
    Label1 = question_.label;
    RetryCount = 0;
    ForEveryTicket = false;
    Command1Enabled = true;
    Command2Enabled = true;
    Closed = false;
}

void TRDIVET::Activate() {
    Command1Caption = "DIVERT/RETRY TO '" + OPrinterName + "'";
    ForEveryTicketCaption = "for every ticket of '" + OriPrinter + "' until it prints again";
    Repaint();
}

void TRDIVET::Command1() {
    Command1Enabled = false;
    Command2Enabled = false;
    Repaint();
    answers_.Divert(Question, OPrinterName, oIPAddress, ForEveryTicket);
}

void TRDIVET::Command2() {
    log_.WriteLog("Cancel Printing at printer '" + OPrinterName + "'");
    answers_.Cancel(Question, OriPrinter);
}

void TRDIVET::Image1DoubleClick() {
    // The box waits in an event loop of its own, where this question may end
    // and another begin: the answer closes the one it was asked about.
    const unsigned long asked = Question;
    const MessageAnswer answer = operator_.ShowMessage(
        "Stop divert ?", "Exit", MessageIcon::Question, MessageButtons::YesNo);
    StopDivertAnswer = std::to_string(answer == MessageAnswer::Yes ? kAnswerYes : kAnswerNo);
    answers_.Close(asked);
}

void TRDIVET::GiveUp() {
    answers_.GiveUp(Question);
}

void TRDIVET::Close() {
    answers_.Close(Question);
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

}  // namespace kps
