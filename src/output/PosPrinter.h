#pragma once

#include <string>

#include "output/PrintFault.h"

namespace kps {

// OPOS result codes.
enum OposResult : long {
    OPOS_SUCCESS = 0,
    OPOS_E_CLOSED = 101,
    OPOS_E_CLAIMED = 102,
    OPOS_E_NOTCLAIMED = 103,
    OPOS_E_NOSERVICE = 104,
    OPOS_E_DISABLED = 105,
    OPOS_E_ILLEGAL = 106,
    OPOS_E_NOHARDWARE = 107,
    OPOS_E_OFFLINE = 108,
    OPOS_E_NOEXIST = 109,
    OPOS_E_EXISTS = 110,
    OPOS_E_FAILURE = 111,
    OPOS_E_TIMEOUT = 112,
    OPOS_E_BUSY = 113,
    OPOS_E_EXTENDED = 114,
};

constexpr long PTR_S_RECEIPT = 2;
constexpr long OPOS_CH_INTERNAL = 1;

// The OPOS POS printer control, as the printing routines use it. Data given to
// PrintNormal is UTF-8 text that may hold OPOS escape sequences (ESC "|1C",
// ESC "|cA", ESC "|fP", ESC "|rC", 0x0B); the control renders them for the
// device and converts the text to the device's code page.
class PosPrinter {
  public:
    virtual ~PosPrinter() = default;

    // Opens the logical device. `checkedAddress` is the address the
    // reachability check has just tested; a device name without an entry of
    // its own in the device registry is reached there.
    virtual long Open(const std::string& deviceName, const std::string& checkedAddress) = 0;
    virtual long ClaimDevice(long timeoutMs) = 0;
    virtual void SetDeviceEnabled(bool enabled) = 0;
    virtual long CheckHealth(long level) = 0;
    virtual long ResultCode() const = 0;
    virtual long PrintNormal(long station, const std::string& data) = 0;
    virtual bool CapRecPapercut() const = 0;  // dispatch id 77
    virtual bool CoverOpen() const = 0;       // dispatch id 102: True refuses the ticket
    virtual long Close() = 0;

    // Waits until the printer may be released after a ticket: until it
    // confirms that everything sent has been printed, or for the fixed pause
    // its device settings ask for. Bounded in time.
    virtual void AwaitRelease() = 0;

    // Why the last operation that failed did so, in words the operator can act on.
    virtual PrintFault Fault() const = 0;
};

}  // namespace kps
