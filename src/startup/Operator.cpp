#include "startup/Operator.h"

namespace kps {

std::string FatalErrorText(long number, const std::string& description) {
    return "Run-time error '" + std::to_string(number) + "':\n\n" + description;
}

void Operator::ShowFatalError(long number, const std::string& description) {
    ShowMessage(FatalErrorText(number, description), "Kitchen Print Server", MessageIcon::Critical,
                MessageButtons::Ok);
}

void ShowFatalErrorReport(Operator& op, long number, const std::string& description) {
    op.ShowFatalError(number, description);
}

}  // namespace kps
