#pragma once

#include <string>

namespace kps {

// Creates (afresh) a demo outlet in `folder`: an SQLite order database with
// waiting items and a table exchange notice, GSetup.ini, the layout file, and
// PosPrinters.ini pointing the network printer BAR1 at `barPrinterPort` and
// its divert printer BAR2 at `divertPrinterPort` on 127.0.0.1. The
// direct-port printer KITCHEN1 writes kitchen1.prn. Returns the settings
// file's path.
std::string CreateDemoOutlet(const std::string& folder, int barPrinterPort, int divertPrinterPort);

}  // namespace kps
