#include "startup/Operator.h"

namespace kps {

void ShowFatalErrorReport(Operator& op, long number, const std::string& description) {
    op.ShowMessage("Run-time error '" + std::to_string(number) + "':\n\n" + description,
                   "Kitchen Print Server", MessageIcon::Critical, MessageButtons::Ok);
}

}  // namespace kps
