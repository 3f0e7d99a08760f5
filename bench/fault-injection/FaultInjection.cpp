// kps-fault-injection: the headless server on a fresh outlet while orders
// and table exchange notices keep coming and printers, the direct port and
// the server itself fail at random; then it drains, and every printed copy
// is reckoned. Exits 1 when an item or a notice never reached paper or a
// duplicate copy came without the reprint line, so CI can run it.

#include <iostream>
#include <string>

#include "fault-injection/FaultRun.h"
#include "harness/RunArguments.h"
#include "text/KpsError.h"

namespace {

constexpr const char* kUsage =
    "usage: kps-fault-injection [--server PATH] [--faults N] [--seconds N]\n"
    "                           [--drain-seconds N] [--print-ms N] [--seed N]\n"
    "                           [--release-pause VALUE]\n"
    "Defaults: the server of this build, 100 faults over 120 s, 60 s to drain,\n"
    "50 ms print time.\n";

void Report(const kps::bench::FaultFigures& f) {
    const kps::bench::CopyFigures& c = f.copies;
    std::cout << "\noutlet: " << f.folder << "\nfaults injected:\n";
    int total = 0;
    for (const auto& [kind, count] : f.injected) {
        std::cout << "    " << kind << ": " << count << "\n";
        total += count;
    }
    std::cout << "    all: " << total << "\n"
              << "server starts: " << f.serverStarts << ", ended by itself: " << f.unexpectedExits
              << "\n"
              << "queued: " << c.items << " items, " << c.notices << " notices"
              << (f.queueFailures > 0 ? " (" + std::to_string(f.queueFailures) + " refused)" : "")
              << "\nstill waiting at the end: " << f.waitingItems << " items, " << f.waitingNotices
              << " notices\n"
              << "printed copies: " << c.copies << "\n"
              << "items lost: " << c.itemsLost << "\n"
              << "notices lost: " << c.noticesLost << "\n"
              << "    of the lost, marked printed all the same: " << c.lostMarkedPrinted << "\n"
              << "duplicate copies: " << c.duplicates << "\n"
              << "duplicate copies without the reprint line: " << c.unlabelledDuplicates << "\n"
              << "labelled copies that were first copies: " << c.labelledFirstCopies << "\n";
    if (!c.lostSample.empty()) {
        std::cout << "some lost yet marked printed:";
        for (const std::string& code : c.lostSample) {
            std::cout << " " << code;
        }
        std::cout << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    kps::bench::FaultOptions options;
    std::string server = KPS_SERVER_EXE;
    kps::bench::RunArguments arguments(argc, argv, "kps-fault-injection", kUsage);
    while (arguments.Next()) {
        int seed = 0;
        if (arguments.Current() == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (arguments.Text("--server", server) ||
                   arguments.Text("--release-pause", options.releasePause)) {
        } else if (arguments.Number("--seed", seed)) {
            options.seed = static_cast<unsigned>(seed);
        } else if (!arguments.Number("--faults", options.faults) &&
                   !arguments.Number("--seconds", options.seconds) &&
                   !arguments.Number("--drain-seconds", options.drainSeconds) &&
                   !arguments.Number("--print-ms", options.printMs)) {
            return arguments.Unexpected();
        }
    }
    try {
        const auto figures = kps::bench::RunFaults(server, options);
        Report(figures);
        const auto& c = figures.copies;
        return c.itemsLost == 0 && c.noticesLost == 0 && c.unlabelledDuplicates == 0 ? 0 : 1;
    } catch (const kps::KpsError& error) {
        std::cerr << "kps-fault-injection: " << error.Description() << "\n";
        return 2;
    }
}
