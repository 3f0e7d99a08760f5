#include "mainwindow/HeadlessOperator.h"

#include "text/Text.h"

namespace kps {

MessageAnswer HeadlessOperator::ShowMessage(const std::string& text, const std::string& caption,
                                            MessageIcon /*icon*/, MessageButtons buttons) {
    WriteLine(caption + ": " + text);
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    return stopRequested_ ? MessageAnswer::Yes : MessageAnswer::No;
}

void HeadlessOperator::ShowErrorReport(const std::string& where, long number,
                                       const std::string& description, const std::string& routine) {
    WriteLine(where + ": error " + std::to_string(number) + ": " + description + " (" + routine +
              ")");
}

void HeadlessOperator::ShowFatalError(long number, const std::string& description) {
    // systemd reads the priority from the line's start.
    std::string report = "<3>Kitchen Print Server: ";
    report += FatalErrorText(number, description);
    WriteLine(report);
    if (fatalLog_) {
        std::string line = "Error " + std::to_string(number);
        line += " ended the print server: ";
        line += description;
        fatalLog_->WriteLog(line);
    }
}

void HeadlessOperator::KeepFatalErrorsIn(const std::string& drivePath, int codePage) {
    fatalLog_ = std::make_unique<PrintLog>(drivePath, clock_, codePage);
}

void HeadlessOperator::WriteLine(const std::string& line) {
    // One message, one line: embedded line breaks would split it.
    std::string flat;
    flat.reserve(line.size());
    for (char c : line) {
        if (c == '\r') {
            continue;
        }
        if (c == '\n') {
            if (!flat.empty() && flat.back() != ' ') {
                flat.push_back(' ');
            }
            continue;
        }
        flat.push_back(c);
    }
    err_ << EscapeControls(flat) << std::endl;
}

}  // namespace kps
