#pragma once

#include <string>

#include "support/Fakes.h"

namespace kps::test {

// Opens like the fake it wraps but reports a failure once a ticket line has
// been sent, as a printer that runs out of paper mid-ticket does.
class FailAfterPrintPrinter final : public PosPrinter {
  public:
    explicit FailAfterPrintPrinter(FakePosPrinter& inner) : inner_(inner) {}

    long Open(const std::string& name, const std::string& address) override {
        return inner_.Open(name, address);
    }
    long ClaimDevice(long timeoutMs) override { return inner_.ClaimDevice(timeoutMs); }
    void SetDeviceEnabled(bool enabled) override { inner_.SetDeviceEnabled(enabled); }
    long CheckHealth(long level) override { return inner_.CheckHealth(level); }
    long ResultCode() const override { return inner_.ResultCode(); }
    long PrintNormal(long station, const std::string& data) override {
        inner_.resultCode = OPOS_E_FAILURE;
        return inner_.PrintNormal(station, data);
    }
    bool CapRecPapercut() const override { return inner_.CapRecPapercut(); }
    bool CoverOpen() const override { return inner_.CoverOpen(); }
    long Close() override { return inner_.Close(); }
    void AwaitRelease() override { inner_.AwaitRelease(); }
    PrintFault Fault() const override { return PrintFault::PaperOut; }

  private:
    FakePosPrinter& inner_;
};

}  // namespace kps::test
