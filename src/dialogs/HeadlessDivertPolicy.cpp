#include "dialogs/HeadlessDivertPolicy.h"

#include "dialogs/TRDIVET.h"

namespace kps {

void HeadlessDivertPolicy::Show(TRDIVET& dialog) {
    dialog.Open(*this);
    dialog.Command1();
}

int HeadlessDivertPolicy::SetWindowTopmost(bool) {
    return 0;  // no window to keep on top
}

}  // namespace kps
