#include "mainwindow/ConsoleStatusWriter.h"

namespace kps {

ConsoleStatusWriter::ConsoleStatusWriter(const MDIForm1& form, const Clock& clock,
                                         std::ostream& out)
    : form_(form), clock_(clock), out_(out) {}

void ConsoleStatusWriter::StatusChanged() {
    if (form_.Label2() == lastStatus_) {
        return;
    }
    lastStatus_ = form_.Label2();
    WriteLine(lastStatus_);
}

void ConsoleStatusWriter::CycleChanged() {
    if (form_.Dis() == lastCount_) {
        return;
    }
    lastCount_ = form_.Dis();
    WriteLine(lastCount_);
}

void ConsoleStatusWriter::WriteLine(const std::string& text) {
    out_ << '[' << FormatLongTime(clock_.Now()) << "] " << text << std::endl;
}

}  // namespace kps
