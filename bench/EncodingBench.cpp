// Ten-line kitchen tickets through the ESC/POS translator in each encoding:
// tickets a second, and the bytes a ticket takes on the wire.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "output/EscPosTranslator.h"
#include "output/LineRasterizer.h"
#include "output/PrinterEncoding.h"

namespace kps::test {
namespace {

constexpr int kPaperDots = 576;

// A ticket as composition leaves it for a network printer: header lines
// centred in large print, items, a red remark, the cut.
std::vector<std::string> Ticket(const std::string& dish) {
    return {
        "\x1b|cA\x1b|4CKITCHEN\r\n",
        "\x1b|cA\x1b|2CTable: T8\r\n",
        "\x1b|cA\x1b|1CNo B1004 Pax 3\r\n",
        "\x1b|1C6  " + dish + "\r\n",
        "\x1b|1C   Dumplings\r\n",
        "\x1b|rC\x1b|1C   * " + dish + "\x0b\r\n",
        "\x1b|1C1  Tomato Soup\r\n",
        "\x1b|1C2  Espresso\r\n",
        "\x1b|1C1  Grilled Salmon\r\n",
        "\x1b|cA\x1b|1CBAR1\r\n",
        "\x1b|fP",
    };
}

void RunTickets(benchmark::State& state, const std::string& encodingName, const std::string& dish) {
    const PrinterEncoding encoding = ParsePrinterEncoding("BENCH", encodingName, 1252, -1);
    LineRasterizer rasterizer("");
    const std::vector<std::string> lines = Ticket(dish);
    std::size_t bytes = 0;
    for (auto _ : state) {
        EscPosTranslator translator(encoding, &rasterizer, kPaperDots, {});
        std::string ticket = translator.JobStart();
        for (const std::string& line : lines) {
            ticket += translator.Translate(line);
        }
        bytes = ticket.size();
        benchmark::DoNotOptimize(ticket);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["bytes_per_ticket"] = static_cast<double>(bytes);
}

void BM_PageTicket(benchmark::State& state) {
    RunTickets(state, "WPC1252", "Crème brûlée");
}
BENCHMARK(BM_PageTicket);

void BM_DoubleByteTicket(benchmark::State& state) {
    RunTickets(state, "GB18030", "饺子");
}
BENCHMARK(BM_DoubleByteTicket);

void BM_AutoTicketAllText(benchmark::State& state) {
    RunTickets(state, "auto", "Crème brûlée");
}
BENCHMARK(BM_AutoTicketAllText);

void BM_AutoTicketTwoDrawnLines(benchmark::State& state) {
    RunTickets(state, "auto", "ผัดไทย");
}
BENCHMARK(BM_AutoTicketTwoDrawnLines);

void BM_RasterTicket(benchmark::State& state) {
    RunTickets(state, "raster", "饺子 ผัดไทย فلافل");
}
BENCHMARK(BM_RasterTicket);

}  // namespace
}  // namespace kps::test
