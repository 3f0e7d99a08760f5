#pragma once

#include <string>

#include "output/PrinterEncoding.h"

namespace kps {

struct GeneralSetup;

// Where a logical device name leads and what the printer there can do.
struct PosDevice {
    std::string name;
    std::string host;
    int port = 9100;
    int codePage = 1252;  // the single-byte page of the text, encoding.codePage
    PrinterEncoding encoding;
    // The section names Encoding, CodePage or CodePageNumber: a direct port
    // then takes its text as a receipt printer does, not as plain code page bytes.
    bool ownText = false;
    int paperDots = 576;          // dots across the paper, for lines drawn as images
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
// Cutter (Y/N), ConfirmPrinted (Y/N), ReleasePause ("confirm" or ms), Encoding (a code page name,
// a double-byte set, "raster" or "auto"; in its absence CodePage), CodePageNumber (ESC t's table
// number where the printer's differs) and PaperDots (dots across the paper). A name without an
// entry, or a key left out, takes its default: the checked address, port 9100, the settings' code
// page, a cutter, no confirmation, 576 dots.
class PosPrinterRegistry {
  public:
    PosPrinterRegistry(std::string iniFile, int defaultCodePage);

    // The registry beside the settings file, with the settings' RasterFont.
    // Throws KpsError kErrSettings when a section names an unknown Encoding.
    static PosPrinterRegistry BesideSettings(const GeneralSetup& setup);

    // Throws KpsError kErrSettings, naming the device and the valid values,
    // when any section of the file names an unknown Encoding.
    void CheckEncodings() const;

    // The font file or fontconfig pattern that raster lines are drawn in;
    // empty: the best font fontconfig finds for each script.
    const std::string& RasterFont() const { return rasterFont_; }

    PosDevice Resolve(const std::string& deviceName, const std::string& checkedAddress) const;

    const std::string& File() const { return iniFile_; }

  private:
    std::string iniFile_;
    int defaultCodePage_;
    std::string rasterFont_;
};

}  // namespace kps
