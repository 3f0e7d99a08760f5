#include "mainwindow/ServiceStatus.h"

namespace kps {

std::string ServiceStatusText(const MDIForm1& form) {
    std::string text = form.Dis();
    if (!form.Label2().empty()) {
        text += "; " + form.Label2();
    }
    std::string down;
    if (form.States() != nullptr) {
        for (const PrinterStatus& printer : form.States()->Printers()) {
            if (printer.state != PrinterState::Printing) {
                down += (down.empty() ? "" : ", ") + printer.device;
            }
        }
    }
    if (!down.empty()) {
        text += "; not printing: " + down;
    }
    return text;
}

}  // namespace kps
