#include "fault-injection/FaultRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "harness/BenchOutlet.h"
#include "harness/OrderDesk.h"
#include "harness/PrintRoom.h"
#include "harness/ServerProcess.h"
#include "harness/TicketText.h"
#include "text/KpsError.h"

namespace kps::bench {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kStopGrace = std::chrono::seconds(30);
constexpr auto kLook = 100ms;  // how often the server's life is checked
constexpr auto kQuietAfterDrain = std::chrono::seconds(3);

enum class Fault { Refuse, Drop, Stall, CoverOpen, PaperOut, PortMissing, ServerKill };
constexpr Fault kFaults[] = {Fault::Refuse,    Fault::Drop,     Fault::Stall,
                             Fault::CoverOpen, Fault::PaperOut, Fault::PortMissing,
                             Fault::ServerKill};

const char* NameOf(Fault fault) {
    switch (fault) {
        case Fault::Refuse:
            return "printer refuses connections";
        case Fault::Drop:
            return "printer closes mid-job";
        case Fault::Stall:
            return "printer stalls";
        case Fault::CoverOpen:
            return "cover open";
        case Fault::PaperOut:
            return "paper out";
        case Fault::PortMissing:
            return "direct port missing";
        case Fault::ServerKill:
            return "server SIGKILL and restart";
    }
    return "?";
}

enum class What { Order, Notice, FaultStart, FaultEnd };

struct Event {
    double at = 0;  // seconds from the start
    What what = What::Order;
    Fault fault = Fault::Refuse;
    std::string target;  // a printer, "PORT1" or "server"
    std::size_t dropAfter = 0;
};

// Orders, notices and faults at random moments; at most one fault at a time
// on each printer, on the port and on the server.
std::vector<Event> Schedule(const FaultOptions& options, std::mt19937& random) {
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution(a, b)(random); };
    std::vector<Event> events;
    for (double t = uniform(0.3, 1.5); t < options.seconds; t += uniform(0.3, 1.5)) {
        events.push_back({t, What::Order, Fault::Refuse, "", 0});
    }
    for (double t = uniform(1, 4); t < options.seconds; t += uniform(2, 6)) {
        events.push_back({t, What::Notice, Fault::Refuse, "", 0});
    }
    std::map<std::string, double> busyUntil = {
        {"NET1", 0}, {"NET2", 0}, {"PORT1", 0}, {"server", 0}};
    const double slot = static_cast<double>(options.seconds) / std::max(options.faults, 1);
    for (int i = 0; i < options.faults; ++i) {
        double t = (i + uniform(0, 1)) * slot;
        Fault fault = kFaults[std::uniform_int_distribution<std::size_t>(0, 6)(random)];
        std::vector<std::string> targets;
        if (fault == Fault::PortMissing) {
            targets = {"PORT1"};
        } else if (fault == Fault::ServerKill) {
            targets = {"server"};
        } else {
            targets = {"NET1", "NET2"};
        }
        std::shuffle(targets.begin(), targets.end(), random);
        const auto freeAt = [&](const std::string& target) {
            return std::max(t, busyUntil[target]);
        };
        const std::string target =
            *std::min_element(targets.begin(), targets.end(),
                              [&](const auto& a, const auto& b) { return freeAt(a) < freeAt(b); });
        t = freeAt(target) + 0.05;
        const double lasting = fault == Fault::ServerKill ? uniform(0.2, 1.5) : uniform(0.5, 4);
        const auto dropAfter = std::uniform_int_distribution<std::size_t>(16, 300)(random);
        events.push_back({t, What::FaultStart, fault, target, dropAfter});
        events.push_back({t + lasting, What::FaultEnd, fault, target, 0});
        busyUntil[target] = t + lasting;
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.at < b.at; });
    return events;
}

const std::vector<BenchDevice> kDevices = {
    {1, "NET1", 'O', 0, 2},
    {2, "NET2", 'O', 0, 1},
    {3, "PORT1", 'D', 0, 0},
};

class FaultRig {
  public:
    FaultRig(const std::string& server, const FaultOptions& options) : random_(options.seed) {
        OutletPlan plan;
        plan.releasePause = options.releasePause;
        for (BenchDevice device : kDevices) {
            if (device.type == 'O') {
                device.port = room_.AddNetworkPrinter(device.name, options.printMs).Port();
            }
            const std::string group = "G" + std::to_string(device.code);
            plan.devices.push_back(device);
            plan.groups.push_back({group, std::string(device.code - 1, 'X') + "O"});
            plan.items.push_back({"I" + std::to_string(device.code), group});
        }
        outlet_ = std::make_unique<BenchOutlet>(plan);
        room_.AddDirectPort("PORT1", outlet_->PortPath("PORT1"));
        desk_ = std::make_unique<OrderDesk>(outlet_->Database());
        server_ = std::make_unique<ServerProcess>(server, outlet_->Settings(), outlet_->Folder());
        server_->Start();
    }

    void Run(const FaultOptions& options, FaultFigures& figures) {
        const auto events = Schedule(options, random_);
        const auto start = Clock::now();
        for (const Event& event : events) {
            WatchUntil(start + std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(event.at)),
                       figures);
            Apply(event, figures);
        }
        Drain(options, figures);
        server_->Stop(kStopGrace);  // it ends its tick first
        figures.waitingItems = desk_->WaitingItems();
        figures.waitingNotices = desk_->WaitingNotices();
        figures.serverStarts = server_->Starts();
        figures.folder = outlet_->Folder();
        const auto tickets = room_.Tickets();
        KeepCopies(tickets);
        figures.copies = Reckon(items_, notices_, desk_->WaitingCodes(), tickets);
    }

  private:
    // Every printed copy, readable, in copies.txt beside the outlet.
    void KeepCopies(const std::vector<PrintedTicket>& tickets) const {
        std::ofstream out(outlet_->Folder() + "/copies.txt", std::ios::binary);
        for (const PrintedTicket& ticket : tickets) {
            out << "--- " << ticket.printer << " " << ticket.arrivedUs << "\n"
                << ticket.text << "\n";
        }
    }

    // Sleeps until `until`, starting the server again whenever it has ended
    // without being killed on purpose.
    void WatchUntil(Clock::time_point until, FaultFigures& figures) {
        while (Clock::now() < until) {
            if (!killed_ && !server_->Running()) {
                ++figures.unexpectedExits;
                server_->Start();
            }
            std::this_thread::sleep_for(std::min<Clock::duration>(kLook, until - Clock::now()));
        }
    }

    void Apply(const Event& event, FaultFigures& figures) {
        try {
            switch (event.what) {
                case What::Order:
                    QueueOrder();
                    break;
                case What::Notice:
                    QueueNotice();
                    break;
                case What::FaultStart:
                    ++figures.injected[NameOf(event.fault)];
                    Inject(event, true);
                    break;
                case What::FaultEnd:
                    Inject(event, false);
                    break;
            }
        } catch (const KpsError& error) {
            ++figures.queueFailures;
            std::cerr << "  " << error.Description() << "\n";
        }
    }

    void QueueOrder() {
        Order order{Code("TBL", ++tables_, 4), {}};
        const int count = std::uniform_int_distribution(1, 3)(random_);
        for (int i = 0; i < count; ++i) {
            const int n = std::uniform_int_distribution(1, 3)(random_);
            order.items.push_back({"I" + std::to_string(n), Code("ITEM", ++itemNumber_, 6)});
        }
        desk_->Queue({order});
        for (const OrderItem& item : order.items) {
            items_.insert(item.description);
        }
    }

    void QueueNotice() {
        const std::string code = Code("NOTE", ++noticeNumber_, 4);
        const int group = std::uniform_int_distribution(1, 3)(random_);
        desk_->QueueNotice("G" + std::to_string(group), code, Code("A", noticeNumber_, 3),
                           Code("B", noticeNumber_, 3));
        notices_.insert(code);
    }

    void Inject(const Event& event, bool on) {
        switch (event.fault) {
            case Fault::Refuse:
                room_.Printer(event.target).SetRefusing(on);
                break;
            case Fault::Drop:
                room_.Printer(event.target).SetDropAfter(on ? event.dropAfter : 0);
                break;
            case Fault::Stall:
                SetState(event.target, on, FakePrinterState::Silent);
                break;
            case Fault::CoverOpen:
                SetState(event.target, on, FakePrinterState::CoverOpen);
                break;
            case Fault::PaperOut:
                SetState(event.target, on, FakePrinterState::PaperOut);
                break;
            case Fault::PortMissing: {
                const std::string away = outlet_->PortFolder() + ".away";
                const int failed = on ? std::rename(outlet_->PortFolder().c_str(), away.c_str())
                                      : std::rename(away.c_str(), outlet_->PortFolder().c_str());
                if (failed != 0) {
                    throw KpsError(kErrFile, "Cannot move the port folder");
                }
                break;
            }
            case Fault::ServerKill:
                if (on) {
                    killed_ = true;
                    server_->Kill();
                } else {
                    server_->Start();
                    killed_ = false;
                }
                break;
        }
    }

    void SetState(const std::string& printer, bool on, FakePrinterState state) {
        room_.Printer(printer).SetState(on ? state : FakePrinterState::Online);
    }

    // Until nothing waits (and a little longer, for tickets on their way) or
    // the drain time is up.
    void Drain(const FaultOptions& options, FaultFigures& figures) {
        std::cerr << "  draining\n";
        const auto deadline = Clock::now() + std::chrono::seconds(options.drainSeconds);
        while (Clock::now() < deadline) {
            WatchUntil(Clock::now() + 1s, figures);
            if (desk_->WaitingItems() == 0 && desk_->WaitingNotices() == 0) {
                WatchUntil(Clock::now() + kQuietAfterDrain, figures);
                break;
            }
        }
    }

    std::mt19937 random_;
    PrintRoom room_;
    std::unique_ptr<BenchOutlet> outlet_;
    std::unique_ptr<OrderDesk> desk_;
    std::unique_ptr<ServerProcess> server_;
    bool killed_ = false;
    int tables_ = 0;
    int itemNumber_ = 0;
    int noticeNumber_ = 0;
    std::set<std::string> items_;
    std::set<std::string> notices_;
};

}  // namespace

FaultFigures RunFaults(const std::string& server, const FaultOptions& options) {
    std::cerr << server << "\n";
    FaultRig rig(server, options);
    FaultFigures figures;
    rig.Run(options, figures);
    return figures;
}

}  // namespace kps::bench
