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

// A ticket whose every line is centred in double height, as header-heavy
// layouts print: the worst case for drawn lines on the wire.
std::vector<std::string> CentredTicket(const std::string& dish) {
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i) {
        lines.push_back("\x1b|cA\x1b|2C" + std::to_string(i + 1) + "  " + dish + "\r\n");
    }
    lines.push_back("\x1b|fP");
    return lines;
}

void RunTickets(benchmark::State& state, const std::string& encodingName,
                const std::vector<std::string>& lines) {
    const PrinterEncoding encoding = ParsePrinterEncoding("BENCH", encodingName, 1252, -1);
    LineRasterizer rasterizer("");
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

void BM_EncodingPageTicket(benchmark::State& state) {
    RunTickets(state, "WPC1252", Ticket("Crème brûlée"));
}
BENCHMARK(BM_EncodingPageTicket);

void BM_EncodingDoubleByteTicket(benchmark::State& state) {
    RunTickets(state, "GB18030", Ticket("饺子"));
}
BENCHMARK(BM_EncodingDoubleByteTicket);

void BM_EncodingAutoTicketAllText(benchmark::State& state) {
    RunTickets(state, "auto", Ticket("Crème brûlée"));
}
BENCHMARK(BM_EncodingAutoTicketAllText);

void BM_EncodingAutoTicketTwoDrawnLines(benchmark::State& state) {
    RunTickets(state, "auto", Ticket("ผัดไทย"));
}
BENCHMARK(BM_EncodingAutoTicketTwoDrawnLines);

void BM_EncodingRasterTicket(benchmark::State& state) {
    RunTickets(state, "raster", Ticket("饺子 ผัดไทย فلافل"));
}
BENCHMARK(BM_EncodingRasterTicket);

void BM_EncodingRasterTicketCentredDoubleHeight(benchmark::State& state) {
    RunTickets(state, "raster", CentredTicket("饺子 ผัดไทย فلافل"));
}
BENCHMARK(BM_EncodingRasterTicketCentredDoubleHeight);

}  // namespace
}  // namespace kps::test
