#include "output/PosPrinterRegistry.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "startup/GeneralSetup.h"
#include "startup/IniFile.h"
#include "text/KpsError.h"
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

// The whole file as UTF-8, or "" when it cannot be read.
std::string ReadFileText(const std::string& file, int codePage) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return FromCodePage(bytes.str(), codePage);
}

// The names of the file's sections, in file order.
std::vector<std::string> SectionNames(const std::string& text) {
    std::vector<std::string> names;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string trimmed = Trim(line.substr(0, line.find_last_not_of("\r\t ") + 1));
        if (trimmed.size() > 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            names.push_back(trimmed.substr(1, trimmed.size() - 2));
        }
    }
    return names;
}

}  // namespace

PosPrinterRegistry::PosPrinterRegistry(std::string iniFile, int defaultCodePage)
    : iniFile_(std::move(iniFile)), defaultCodePage_(defaultCodePage) {}

PosPrinterRegistry PosPrinterRegistry::BesideSettings(const GeneralSetup& setup) {
    PosPrinterRegistry registry(
        (std::filesystem::path(setup.SettingsFolder()) / "PosPrinters.ini").string(),
        setup.CodePage);
    registry.rasterFont_ =
        Trim(ReadIniValue("PrintServer", "RasterFont", setup.IniPath, setup.CodePage));
    registry.CheckEncodings();
    return registry;
}

void PosPrinterRegistry::CheckEncodings() const {
    const IniFile ini = IniFile::Load(iniFile_, defaultCodePage_);
    for (const std::string& section : SectionNames(ReadFileText(iniFile_, defaultCodePage_))) {
        ParsePrinterEncoding(section, ini.Value(section, "Encoding"), defaultCodePage_, -1);
    }
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
    const int table = NumberIn(read("CodePageNumber"), 0, 255, -1);
    try {
        device.encoding =
            ParsePrinterEncoding(deviceName, read("Encoding"), device.codePage, table);
    } catch (const KpsError&) {
        // Refused at start-up; a file edited since falls back to its code page.
        device.encoding = ParsePrinterEncoding(deviceName, "", device.codePage, table);
    }
    device.codePage = device.encoding.codePage;
    device.ownText = !Trim(read("Encoding")).empty() || !Trim(read("CodePage")).empty() ||
                     !Trim(read("CodePageNumber")).empty();
    device.paperDots = NumberIn(read("PaperDots"), 64, 4096, device.paperDots);
    device.cutter = YesNo(read("Cutter"), true);
    device.confirmPrinted = YesNo(read("ConfirmPrinted"), false);
    device.releasePauseMs = NumberIn(read("ReleasePause"), 0, 60000, -1);
    return device;
}

}  // namespace kps
