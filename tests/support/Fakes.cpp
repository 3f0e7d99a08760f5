#include "support/Fakes.h"

namespace kps::test {

MessageAnswer FakeOperator::ShowMessage(const std::string& text, const std::string& caption,
                                        MessageIcon icon, MessageButtons buttons) {
    messages.push_back({text, caption, icon, buttons});
    if (whileShown) {
        whileShown();
    }
    return buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
}

void FakeOperator::ShowErrorReport(const std::string& where, long number,
                                   const std::string& description, const std::string& routine) {
    errorReports.push_back(where + "|" + std::to_string(number) + "|" + description + "|" +
                           routine);
}

long FakePosPrinter::Open(const std::string& deviceName, const std::string&) {
    calls.push_back("Open " + deviceName);
    open = true;
    return resultCode;
}

long FakePosPrinter::ClaimDevice(long timeoutMs) {
    calls.push_back("ClaimDevice " + std::to_string(timeoutMs));
    return resultCode;
}

void FakePosPrinter::SetDeviceEnabled(bool value) {
    calls.push_back(std::string("DeviceEnabled ") + (value ? "1" : "0"));
    enabled = value;
}

long FakePosPrinter::CheckHealth(long level) {
    calls.push_back("CheckHealth " + std::to_string(level));
    return health;
}

long FakePosPrinter::PrintNormal(long station, const std::string& data) {
    if (beforePrint) {
        beforePrint();
    }
    calls.push_back("PrintNormal " + std::to_string(station) + " " + data);
    return resultCode;
}

long FakePosPrinter::Close() {
    calls.push_back("Close");
    open = false;
    enabled = false;
    return OPOS_SUCCESS;
}

std::vector<std::string> FakePosPrinter::Printed() const {
    const std::string prefix = "PrintNormal 2 ";
    std::vector<std::string> out;
    for (const auto& call : calls) {
        if (call.rfind(prefix, 0) == 0) {
            out.push_back(call.substr(prefix.size()));
        }
    }
    return out;
}

bool FakePinger::PingAddress(const std::string& address) {
    pinged.push_back(address);
    for (const auto& r : reachable) {
        if (r == address) {
            return true;
        }
    }
    return false;
}

void FakeSystemPrinter::SelectPrinter(const std::string& name) {
    current = name;
    calls.push_back("select " + name);
}

void FakeSystemPrinter::SetFontName(const std::string& fontName) {
    calls.push_back("font " + fontName);
}

void FakeSystemPrinter::SetColour(int red, int green, int blue) {
    calls.push_back("colour " + std::to_string(red) + "," + std::to_string(green) + "," +
                    std::to_string(blue));
}

void FakeSystemPrinter::PrintLine(const std::string& text) {
    calls.push_back("line " + text);
}

bool FakeSystemPrinter::EndJob() {
    calls.push_back("end");
    return endSucceeds;
}

}  // namespace kps::test
