#include "output/DirectPort.h"

#include <exception>
#include <fstream>

#include "text/Text.h"

namespace kps {
namespace {

// ESC "@" initialises the printer, ESC "!" "0" selects double height and width.
const std::string kTicketStart = std::string("\x1b@\r\n") + "\x1b!0\r\n";
// GS "V" 66 0: feed to the cutting position and cut partially.
const std::string kTicketEnd = std::string("\x1dV\x42", 3) + std::string(1, '\0');

bool WriteTicket(const std::string& directPort, const std::string& bytes) {
    std::ofstream port(directPort, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!port) {
        return false;
    }
    port.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    port.close();
    return !port.fail();
}

}  // namespace

void PrintDirectTicket(TicketBuffers& ticket, const std::string& directPort, int codePage,
                       const PrintLog& log, Operator& op) {
    ticket.PrintFailed = false;
    bool written = false;
    try {
        // The control codes in RTF are ASCII, so the conversion keeps them.
        written = WriteTicket(
            directPort, kTicketStart + ToCodePage(ticket.RTF, codePage) + "\r\n" + kTicketEnd);
    } catch (const std::exception&) {
        written = false;
    }
    if (!written) {
        ticket.PrintFailed = true;
        log.WriteLog("Error Open direct Port " + directPort);
        op.ShowMessage("Printer Error !!!", "Message", MessageIcon::Critical, MessageButtons::Ok);
    }
}

}  // namespace kps
