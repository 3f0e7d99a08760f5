#include "mainwindow/ServiceStatus.h"

namespace kps {

std::string ServiceStatusText(const MDIForm1& form) {
    std::string text = form.Dis();
    if (!form.Label2().empty()) {
        text += "; " + form.Label2();
    }
    return text;
}

}  // namespace kps
