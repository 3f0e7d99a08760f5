#include "sending/PrintDeviceSetting.h"

namespace kps {

const std::string& PrintDeviceSetting::PrinterFont(int slot) const {
    switch (slot) {
        case 2:
            return PrinterFont2;
        case 3:
            return PrinterFont3;
        case 4:
            return PrinterFont4;
        default:
            return PrinterFont1;
    }
}

}  // namespace kps
