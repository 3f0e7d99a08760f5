#include "DivertDialogFixture.h"

#include "support/FileBytes.h"

namespace kps::test {

void RecordingDivertView::Repaint() {
    if (!dialog_.Command1Enabled && !dialog_.Command2Enabled) {
        sawButtonsDisabled = true;
    }
}

DivertDialogFixture::DivertDialogFixture() : log(folder.Path(), clock) {
    codes.CodeCentre = "<C>";
    codes.CodeFeedCut = "<CUT>";
    pinger.reachable = {"127.0.0.2"};
    divert.DivertLabelText = " Error Sending item to Printer 'K1'";
    divert.DivertBanner = "*Divert From K1";
}

void DivertDialogFixture::OpenHeldTicket(std::vector<std::string> lines) {
    dialog.List1 = std::move(lines);
    dialog.OPrinterName = "K2";
    dialog.oIPAddress = "127.0.0.2";
    dialog.OriPrinter = "K1";
    dialog.Open(view);
}

void DivertDialogFixture::Retry(TRDIVET& on, PrinterLanes& through) {
    on.Command1();
    for (const JobReport& report : through.TakeReports()) {
        on.OnDivertReport(report);
    }
}

std::string DivertDialogFixture::LogText() const {
    return ReadBytes(log.TodayFile());
}

}  // namespace kps::test
