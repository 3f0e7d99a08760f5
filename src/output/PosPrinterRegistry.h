#pragma once

#include <string>

namespace kps {

struct GeneralSetup;

// Where a logical device name leads and what the printer there can do.
struct PosDevice {
    std::string name;
    std::string host;
    int port = 9100;
    int codePage = 1252;
    bool cutter = true;           // the printer can cut the paper
    bool confirmPrinted = false;  // ask the printer to confirm a ticket came out
    // How long the printer is kept after a ticket: -1 until it confirms the
    // ticket came out (at most kMostReleaseWaitMs), else a fixed pause in ms.
    int releasePauseMs = -1;
};

// The longest wait for a printer's confirmation before it is released.
constexpr int kMostReleaseWaitMs = 2000;

// Resolves logical device names as the OPOS registry does: PosPrinters.ini,
// one section per logical device name with the keys Host, Port, CodePage,
// Cutter (Y/N), ConfirmPrinted (Y/N) and ReleasePause ("confirm" or ms). A name without an entry,
// or a key left out, takes its default: the checked address, port 9100, the settings' code page, a
// cutter, no confirmation.
class PosPrinterRegistry {
  public:
    PosPrinterRegistry(std::string iniFile, int defaultCodePage);

    // The registry beside the settings file.
    static PosPrinterRegistry BesideSettings(const GeneralSetup& setup);

    PosDevice Resolve(const std::string& deviceName, const std::string& checkedAddress) const;

    const std::string& File() const { return iniFile_; }

  private:
    std::string iniFile_;
    int defaultCodePage_;
};

}  // namespace kps
