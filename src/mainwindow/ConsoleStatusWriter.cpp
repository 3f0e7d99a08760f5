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
    std::string count = form_.Dis();
    if (form_.UnroutableItems() > 0) {
        count += "; " + std::to_string(form_.UnroutableItems()) + " Item(s) no printer can take";
    }
    if (count == lastCount_) {
        return;
    }
    lastCount_ = count;
    WriteLine(lastCount_);
}

void ConsoleStatusWriter::WriteLine(const std::string& text) {
    out_ << '[' << FormatLongTime(clock_.Now()) << "] " << text << std::endl;
}

}  // namespace kps
