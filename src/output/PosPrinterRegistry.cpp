#include "output/PosPrinterRegistry.h"

#include <filesystem>

#include "startup/GeneralSetup.h"
#include "startup/IniFile.h"
#include "text/Text.h"

namespace kps {
namespace {

constexpr int kDefaultPort = 9100;

// "Y" or "N" in any case; anything else keeps the default.
bool YesNo(const std::string& value, bool fallback) {
    const std::string flag = UpperCase(Trim(value));
    if (flag == "Y") {
        return true;
    }
    if (flag == "N") {
        return false;
    }
    return fallback;
}

// A whole decimal number in [low, high], or the default.
int NumberIn(const std::string& value, int low, int high, int fallback) {
    const std::string text = Trim(value);
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return fallback;
    }
    long number = LeadingNumber(text);
    return number >= low && number <= high ? static_cast<int>(number) : fallback;
}

}  // namespace

PosPrinterRegistry::PosPrinterRegistry(std::string iniFile, int defaultCodePage)
    : iniFile_(std::move(iniFile)), defaultCodePage_(defaultCodePage) {}

PosPrinterRegistry PosPrinterRegistry::BesideSettings(const GeneralSetup& setup) {
    return PosPrinterRegistry(
        (std::filesystem::path(setup.SettingsFolder()) / "PosPrinters.ini").string(),
        setup.CodePage);
}

PosDevice PosPrinterRegistry::Resolve(const std::string& deviceName,
                                      const std::string& checkedAddress) const {
    const IniFile ini = IniFile::Load(iniFile_, defaultCodePage_);
    auto read = [&](const char* key) { return ini.Value(deviceName, key); };
    PosDevice device;
    device.name = deviceName;
    device.host = Trim(read("Host"));
    if (device.host.empty()) {
        device.host = Trim(checkedAddress);
    }
    device.port = NumberIn(read("Port"), 1, 65535, kDefaultPort);
    device.codePage = NumberIn(read("CodePage"), 1, 65535, defaultCodePage_);
    if (!IsSupportedCodePage(device.codePage)) {
        device.codePage = defaultCodePage_;
    }
    device.cutter = YesNo(read("Cutter"), true);
    device.confirmPrinted = YesNo(read("ConfirmPrinted"), false);
    device.releasePauseMs = NumberIn(read("ReleasePause"), 0, 60000, -1);
    return device;
}

}  // namespace kps
