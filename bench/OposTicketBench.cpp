#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "output/EscPosNetworkPrinter.h"
#include "output/OposPrinterRoutines.h"
#include "support/Fakes.h"

namespace kps::test {
namespace {

// One OPOS ticket of twelve lines, from the open to the close, to the fake
// network printer on loopback; the two-second pause is left out.
void BM_OposTicketToNetworkPrinter(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "kps-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    FakeReceiptPrinter::Options options;
    options.address = "127.0.0.3";
    FakeReceiptPrinter fake(options);
    std::ofstream(folder + "/PosPrinters.ini") << "[KITCHEN1]\r\nPort=" << fake.Port() << "\r\n";

    PosPrinterRegistry registry(folder + "/PosPrinters.ini", 1252);
    FakeClock clock;
    PrintLog log(folder, clock);
    EscPosNetworkPrinter printer(registry, log);
    FakePinger pinger;
    pinger.reachable = {"127.0.0.3"};
    FakeWaitPause pause;
    FakeOperator op;
    OposPrinterRoutines routines(printer, pinger, pause, log, op);

    PrinterCodes codes;
    PR_LoadOposSetting(codes, "O");
    TicketBuffers ticket;
    ticket.List3.push_back(codes.CodeCentre + codes.FontCode4 + "TABLE 12\r\n");
    for (int line = 1; line <= 10; ++line) {
        ticket.List3.push_back(codes.FontCode2 + std::to_string(line) + " Grilled salmon\r\n");
    }
    ticket.List3.push_back(codes.CodeColourOn + "No sauce" + codes.CodeColourOff + "\r\n");
    ticket.RTF = "TABLE 12\r\n";

    std::size_t tickets = 0;
    for (auto _ : state) {
        if (!routines.OpenOpsLDN("KITCHEN1", "127.0.0.3")) {
            state.SkipWithError("the fake printer did not open");
            break;
        }
        routines.PrintOposTicket(ticket, codes);
        if (ticket.PrintFailed) {
            state.SkipWithError("the ticket failed");
            break;
        }
        ++tickets;
    }
    if (tickets > 0 && fake.WaitForJobs(tickets, std::chrono::seconds(5))) {
        const auto jobs = fake.Jobs();
        state.counters["bytes_per_ticket"] = static_cast<double>(jobs.back().bytes.size());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_OposTicketToNetworkPrinter)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kps::test
