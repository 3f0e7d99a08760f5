// kps-status-load: whole-process figures of the status page. A headless
// server on an outlet of 50 network printers and 10,000 waiting items: how
// fast its page and /metrics answer, and its polling cycle's median with
// and without ten page requests a second; then what a server with its page
// on costs while the outlet is idle. Figures, not a test.

#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include "harness/BenchOutlet.h"
#include "harness/OrderDesk.h"
#include "harness/PrintRoom.h"
#include "harness/RunArguments.h"
#include "harness/ServerProcess.h"
#include "harness/Spread.h"
#include "text/KpsError.h"

namespace {

using kps::bench::Spread;
using Clock = std::chrono::steady_clock;

const char* const kUsage =
    "usage: kps-status-load [--server PATH] [--printers N] [--items N] [--seconds N]\n"
    "Defaults: the headless server of this build (no Qt), 50 printers, 10,000 waiting\n"
    "items, 60 s per phase.\n";

struct Options {
    std::string server = KPS_SERVER_EXE;
    int printers = 50;
    int items = 10000;
    int seconds = 60;
};

// Appended piece by piece: GCC 12 warns falsely (-Wrestrict) at -O3 on a
// literal + string.
std::string Numbered(const char* prefix, int n) {
    std::string text = prefix;
    text += std::to_string(n);
    return text;
}

// An outlet whose printers all answer and whose waiting items no printer
// takes, so they stay waiting for the whole run; the server serves its
// page on the port the outlet gives it.
class Rig {
  public:
    Rig(const Options& options, int printers, int items) {
        kps::bench::OutletPlan plan;
        plan.groups.push_back({"NOWHERE", ""});
        plan.items.push_back({"LOST", "NOWHERE"});
        for (int n = 1; n <= printers; ++n) {
            kps::bench::BenchDevice device;
            device.code = n;
            device.name = Numbered("NET", n);
            device.port = room_.AddNetworkPrinter(device.name, 0).Port();
            plan.devices.push_back(device);
        }
        outlet_ = std::make_unique<kps::bench::BenchOutlet>(plan);
        kps::bench::OrderDesk desk(*outlet_);
        std::vector<kps::bench::Order> orders;
        for (int i = 0; i < items; ++i) {
            if (i % 20 == 0) {
                orders.push_back({Numbered("T", i / 20), {}});
            }
            orders.back().items.push_back({"LOST", Numbered("ITEM", i)});
        }
        desk.Queue(orders);
        server_ = std::make_unique<kps::bench::ServerProcess>(options.server, outlet_->Settings(),
                                                              outlet_->Folder());
        server_->Start();
    }

    kps::bench::ServerProcess& Server() { return *server_; }
    int Port() const { return outlet_->StatusPort(); }
    const std::string& Folder() const { return outlet_->Folder(); }

  private:
    kps::bench::PrintRoom room_;
    std::unique_ptr<kps::bench::BenchOutlet> outlet_;
    std::unique_ptr<kps::bench::ServerProcess> server_;
};

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The value of an unlabelled sample in the Prometheus text, or -1.
double Sample(const std::string& metrics, const std::string& name) {
    std::istringstream lines(metrics);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(name + " ")) {
            return std::stod(line.substr(name.size() + 1));
        }
    }
    return -1;
}

struct Phase {
    std::vector<double> ticksMs;    // each polling cycle's length, sampled once a second
    std::vector<double> pageMs;     // the page's response times
    std::vector<double> metricsMs;  // /metrics' response times
    std::size_t pageBytes = 0;
    long failures = 0;
};

// Samples /metrics once a second for `seconds`; with `pagesPerSecond`, a
// thread of its own asks for the page that often meanwhile.
Phase RunPhase(int port, int seconds, int pagesPerSecond) {
    Phase phase;
    std::atomic<bool> done = false;
    std::thread pages([&] {
        if (pagesPerSecond == 0) {
            return;
        }
        httplib::Client client("127.0.0.1", port);
        const auto every = std::chrono::milliseconds(1000 / pagesPerSecond);
        for (auto next = Clock::now(); !done; next += every) {
            std::this_thread::sleep_until(next);
            const auto start = Clock::now();
            auto page = client.Get("/");
            if (page && page->status == 200) {
                phase.pageMs.push_back(MillisecondsSince(start));
                phase.pageBytes = page->body.size();
            } else {
                ++phase.failures;
            }
        }
    });
    httplib::Client client("127.0.0.1", port);
    double lastTicks = -1;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    for (auto next = Clock::now(); next < end; next += std::chrono::seconds(1)) {
        std::this_thread::sleep_until(next);
        const auto start = Clock::now();
        auto metrics = client.Get("/metrics");
        if (!metrics || metrics->status != 200) {
            ++phase.failures;
            continue;
        }
        phase.metricsMs.push_back(MillisecondsSince(start));
        const double ticks = Sample(metrics->body, "kps_server_ticks_total");
        if (ticks != lastTicks) {  // a new cycle since the last sample
            phase.ticksMs.push_back(1000 *
                                    Sample(metrics->body, "kps_server_last_tick_duration_seconds"));
            lastTicks = ticks;
        }
    }
    done = true;
    pages.join();
    return phase;
}

std::string Fixed(double value, int decimals) {
    std::ostringstream text;
    text.setf(std::ios::fixed);
    text.precision(decimals);
    text << value;
    return text.str();
}

void WaitForPage(int port) {
    httplib::Client client("127.0.0.1", port);
    for (int i = 0; i < 300; ++i) {
        auto health = client.Get("/metrics");
        if (health && Sample(health->body, "kps_server_ticks_total") >= 3) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    throw kps::KpsError(kps::kErrFile, "The server's page did not come up within 30 s");
}

int Run(const Options& options) {
    std::cout << "server " << options.server << "\n";
    {
        Rig rig(options, options.printers, options.items);
        std::cout << "outlet " << rig.Folder() << ": " << options.printers << " printers, "
                  << options.items << " waiting items\n";
        WaitForPage(rig.Port());
        const Phase quiet = RunPhase(rig.Port(), options.seconds, 0);
        const Phase loaded = RunPhase(rig.Port(), options.seconds, 10);
        const Spread quietTick = kps::bench::SpreadOf(quiet.ticksMs);
        const Spread loadedTick = kps::bench::SpreadOf(loaded.ticksMs);
        std::cout << "page: median " << Fixed(kps::bench::SpreadOf(loaded.pageMs).median, 1)
                  << " ms, " << loaded.pageBytes << " bytes, " << loaded.pageMs.size()
                  << " answered\n"
                  << "/metrics: median " << Fixed(kps::bench::SpreadOf(quiet.metricsMs).median, 2)
                  << " ms\n"
                  << "polling cycle: median " << Fixed(quietTick.median, 2)
                  << " ms without the page asked for (" << quietTick.count << " cycles), "
                  << Fixed(loadedTick.median, 2) << " ms with 10 pages a second ("
                  << loadedTick.count
                  << " cycles): " << Fixed(100 * (loadedTick.median / quietTick.median - 1), 1)
                  << "%\n";
        if (quiet.failures + loaded.failures > 0) {
            std::cout << "requests that failed: " << quiet.failures + loaded.failures << "\n";
        }
        rig.Server().Stop(std::chrono::seconds(10));
    }
    Rig idle(options, 3, 0);
    WaitForPage(idle.Port());
    const double before = idle.Server().CpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(options.seconds));
    const double after = idle.Server().CpuSeconds();
    std::cout << "idle outlet, page on, " << options.seconds << " s: CPU "
              << Fixed(100 * (after - before) / options.seconds, 3) << "% of a core, peak "
              << idle.Server().PeakResidentKb() / 1024.0 << " MiB resident\n";
    idle.Server().Stop(std::chrono::seconds(10));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    kps::bench::RunArguments arguments(argc, argv, "kps-status-load", kUsage);
    Options options;
    while (arguments.Next()) {
        if (arguments.Current() == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (!arguments.Text("--server", options.server) &&
            !arguments.Number("--printers", options.printers) &&
            !arguments.Number("--items", options.items) &&
            !arguments.Number("--seconds", options.seconds)) {
            return arguments.Unexpected();
        }
    }
    try {
        return Run(options);
    } catch (const kps::KpsError& error) {
        std::cerr << "kps-status-load: " << error.Description() << "\n";
        return 1;
    }
}
