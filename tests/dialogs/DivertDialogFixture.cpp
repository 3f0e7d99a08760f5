#include "DivertDialogFixture.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kps::test {

namespace {

std::string MakeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kps-divert-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("no temporary folder");
    }
    return pattern;
}

}  // namespace

int RecordingDivertView::SetWindowTopmost(bool topmost) {
    topmostCalls.push_back(topmost);
    return topmost ? 1 : 0;
}

void RecordingDivertView::Repaint() {
    labels.push_back(dialog_.Label1);
    if (!dialog_.Command1Enabled && !dialog_.Command2Enabled) {
        sawButtonsDisabled = true;
    }
}

DivertDialogFixture::DivertDialogFixture() : folder(MakeTempFolder()), log(folder, clock) {
    codes.CodeCentre = "<C>";
    codes.CodeFeedCut = "<CUT>";
    pinger.reachable = {"127.0.0.2"};
    divert.DivertLabelText = " Error Sending item to Printer 'K1'";
    divert.DivertBanner = "*Divert From K1";
}

DivertDialogFixture::~DivertDialogFixture() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void DivertDialogFixture::OpenHeldTicket(std::vector<std::string> lines) {
    dialog.List1 = std::move(lines);
    dialog.OPrinterName = "K2";
    dialog.oIPAddress = "127.0.0.2";
    dialog.OriPrinter = "K1";
    dialog.Open(view);
}

std::string DivertDialogFixture::LogText() const {
    std::ifstream in(log.TodayFile(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace kps::test
