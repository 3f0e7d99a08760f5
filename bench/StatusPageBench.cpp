// The status page's answers for a big outlet: 50 printers, 10,000 waiting
// items (the snapshot lists the first 1,000) and 50 kept tickets a printer,
// rendered without sockets, as a request thread renders them.

#include <benchmark/benchmark.h>

#include <string>

#include "status/StatusRouter.h"

namespace kps::test {
namespace {

StatusSnapshot BigOutlet() {
    StatusSnapshot snapshot;
    snapshot.server.ticks = 1000;
    snapshot.server.lastTickEnded = std::chrono::steady_clock::now();
    snapshot.server.waitingItems = 10000;
    KeptTickets tickets;
    for (int p = 0; p < 50; ++p) {
        PrinterSnapshot printer;
        printer.status.device = "PRINTER" + std::to_string(p);
        printer.printingType = p % 5 == 0 ? "D" : "O";
        printer.status.state = p % 7 == 0 ? PrinterState::NotPrinting : PrinterState::Printing;
        printer.status.waitingItems = 200;
        snapshot.printers.push_back(printer);
        std::vector<StoredTicket>& kept = tickets[printer.status.device];
        for (int t = 0; t < 50; ++t) {
            kept.push_back({{"\x1b|cA\x1b|4CTable " + std::to_string(t) + "\r\n",
                             "\x1b|1C2 Fried rice\r\n", "1 Soup\r\n"},
                            1,
                            {"1", "2"},
                            {2026, 12, 9, 12, 0, t},
                            "T" + std::to_string(t),
                            42});
        }
    }
    for (std::size_t i = 0; i < StatusSnapshot::kMaxWaitingRows; ++i) {
        snapshot.waiting.push_back({"T" + std::to_string(i % 40), "D", "B100", "Fried rice", "2",
                                    "PRINTER" + std::to_string(i % 50)});
    }
    snapshot.tickets = std::make_shared<const KeptTickets>(std::move(tickets));
    return snapshot;
}

void Answer(benchmark::State& state, const char* path) {
    const StatusSnapshot snapshot = BigOutlet();
    StatusRequest request;
    request.method = "GET";
    request.path = path;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const StatusResponse response =
            RouteStatusRequest(request, &snapshot, std::chrono::steady_clock::now(), nullptr);
        bytes = response.body.size();
        benchmark::DoNotOptimize(response);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_StatusPage(benchmark::State& state) {
    Answer(state, "/");
}
BENCHMARK(BM_StatusPage)->Unit(benchmark::kMicrosecond);

void BM_StatusApi(benchmark::State& state) {
    Answer(state, "/api/v1/status");
}
BENCHMARK(BM_StatusApi)->Unit(benchmark::kMicrosecond);

void BM_Metrics(benchmark::State& state) {
    Answer(state, "/metrics");
}
BENCHMARK(BM_Metrics)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kps::test
