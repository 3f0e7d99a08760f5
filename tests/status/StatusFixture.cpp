#include "status/StatusFixture.h"

namespace kps::test {

namespace {

PrinterSnapshot Printer(std::string device, std::string type, PrinterState state) {
    PrinterSnapshot printer;
    printer.status.device = std::move(device);
    printer.status.state = state;
    printer.printingType = std::move(type);
    return printer;
}

}  // namespace

StatusSnapshot FixtureSnapshot() {
    StatusSnapshot snapshot;
    ServerSnapshot& server = snapshot.server;
    server.statusLine = "Last Printed on 07/12/2026 22:05:08";
    server.ticks = 42;
    server.lastTick = {2026, 12, 7, 22, 5, 9};
    server.lastTickEnded = kTickEnded;
    server.lastTickTook = std::chrono::milliseconds(12);
    server.waitingItems = 2;

    PrinterSnapshot bar = Printer("BAR1", "O", PrinterState::NotPrinting);
    bar.status.reason = PrintFault::CoverOpen;
    bar.status.lastPrinted = LocalDateTime{2026, 12, 7, 22, 1, 0};
    bar.status.waitingItems = 1;
    bar.status.ticketsPrinted = 12;
    bar.status.failures = 2;
    bar.ticketsOnTheirWay = 1;
    PrinterSnapshot grill = Printer(kOddName, "D", PrinterState::Printing);
    grill.status.waitingItems = 1;
    PrinterSnapshot suspended = Printer("PASS", "O", PrinterState::Suspended);
    suspended.status.answersAgain = true;
    snapshot.printers = {bar, grill, suspended};

    snapshot.waiting = {{"T5", "D", "B100", "Fried rice", "2", "KIT"},
                        {"-", "T", "-", "Soup", "1", "BAR"}};

    const StoredTicket last{
        {"\x1b|cA\x1b|4CT5\r\n", "\x1b|1C1 Fried rice\r\n", "\x1b|rCno nuts\x0B\r\n"},
        1,
        {"1", "2"},
        {2026, 12, 7, 22, 4, 0},
        "T5",
        40};
    const StoredTicket before{{"1 Soup\r\n"}, 0, {"3"}, {2026, 12, 7, 21, 0, 0}, "T6", 40};
    snapshot.tickets = std::make_shared<const KeptTickets>(
        KeptTickets{{"BAR1", {last, before}}, {"OLD 1", {before}}});
    return snapshot;
}

}  // namespace kps::test
