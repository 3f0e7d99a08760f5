#pragma once

#include <string>

#include "mainwindow/MDIForm1.h"

namespace kps {

// The service manager's one-line status: the waiting count, the last
// status caption of the main window and the printers that do not print.
std::string ServiceStatusText(const MDIForm1& form);

}  // namespace kps
