#include "rush-hour/RushHourRun.h"

#include <chrono>
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

namespace kps::bench {
namespace {

using namespace std::chrono_literals;

constexpr auto kPollEvery = 250ms;
constexpr auto kStopGrace = std::chrono::seconds(30);
constexpr auto kSettle = std::chrono::seconds(3);

// Device n prints group Gn, which has the one item In.
struct Printer {
    std::string name;
    char type;
    std::string kind;
};
const std::vector<Printer> kPrinters = {
    {"NET1", 'O', "network"},
    {"NET2", 'O', "network"},
    {"PORT1", 'D', "direct"},
    {"STALL1", 'O', "network, stalls in (c)"},
};
constexpr int kHealthy = 3;  // the first three never stall

std::string Label(const Printer& p) {
    return p.name + " (" + p.kind + ")";
}

// The fake printers, a fresh outlet routing item In to device n alone, and
// the server on it.
class Rig {
  public:
    Rig(const std::string& server, const RushHourOptions& options) {
        OutletPlan plan;
        plan.releasePause = options.releasePause;
        for (std::size_t i = 0; i < kPrinters.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            const Printer& p = kPrinters[i];
            BenchDevice device{n, p.name, p.type, 0, 0};
            if (p.type == 'O') {
                device.port = room_.AddNetworkPrinter(p.name, options.printMs).Port();
            }
            plan.devices.push_back(device);
            const std::string group = Code("G", n, 1);
            plan.groups.push_back({group, std::string(i, 'X') + "O"});
            plan.items.push_back({Code("I", n, 1), group});
        }
        outlet_ = std::make_unique<BenchOutlet>(plan, options.database.For(server));
        for (const Printer& p : kPrinters) {
            if (p.type == 'D') {
                room_.AddDirectPort(p.name, outlet_->PortPath(p.name));
            }
        }
        desk_ = std::make_unique<OrderDesk>(*outlet_);
        server_ = std::make_unique<ServerProcess>(server, outlet_->Settings(), outlet_->Folder());
        server_->Start();
    }

    PrintRoom& Room() { return room_; }
    OrderDesk& Desk() { return *desk_; }
    ServerProcess& Server() { return *server_; }
    const BenchOutlet& Outlet() const { return *outlet_; }

  private:
    PrintRoom room_;
    std::unique_ptr<BenchOutlet> outlet_;
    std::unique_ptr<OrderDesk> desk_;
    std::unique_ptr<ServerProcess> server_;
};

// A queued order and the printers its tickets must reach.
struct Sent {
    std::string table;
    std::int64_t queuedUs = 0;
    std::set<std::string> printers;
};

class OrderMaker {
  public:
    explicit OrderMaker(unsigned seed) : random_(seed) {}

    // A new table with one to three items of the first `printers` groups,
    // and one more of group `also` when it is not 0.
    Order Next(int printers, int also = 0) {
        Order order{Code("TBL", ++tables_, 4), {}};
        if (also != 0) {
            order.items.push_back({Code("I", also, 1), Code("ITEM", ++items_, 6)});
        }
        const int count = std::uniform_int_distribution(1, 3)(random_);
        for (int i = 0; i < count; ++i) {
            const int n = std::uniform_int_distribution(1, printers)(random_);
            order.items.push_back({Code("I", n, 1), Code("ITEM", ++items_, 6)});
        }
        return order;
    }

    std::chrono::milliseconds Gap(double minSeconds, double maxSeconds) {
        const double s = std::uniform_real_distribution(minSeconds, maxSeconds)(random_);
        return std::chrono::milliseconds(static_cast<long>(s * 1000));
    }

  private:
    std::mt19937 random_;
    int tables_ = 0;
    int items_ = 0;
};

std::set<std::string> PrintersOf(const Order& order) {
    std::set<std::string> printers;
    for (const OrderItem& item : order.items) {
        printers.insert(kPrinters[std::stoul(item.itemCode.substr(1)) - 1].name);
    }
    return printers;
}

using Arrivals = std::map<std::pair<std::string, std::string>, std::int64_t>;

// When each table's first ticket reached each printer.
Arrivals FirstArrivals(const PrintRoom& room) {
    Arrivals first;
    for (const PrintedTicket& ticket : room.Tickets()) {
        for (const std::string& table : CodesIn(ticket.text, "TBL")) {
            first.emplace(std::make_pair(table, ticket.printer), ticket.arrivedUs);
        }
    }
    return first;
}

long MissingOf(const std::vector<Sent>& sent, const Arrivals& arrivals,
               const std::set<std::string>& watched) {
    long missing = 0;
    for (const Sent& s : sent) {
        for (const std::string& printer : s.printers) {
            missing += watched.contains(printer) && !arrivals.contains({s.table, printer});
        }
    }
    return missing;
}

// Waits until every watched ticket of `sent` has come, or the deadline.
Arrivals Drain(const PrintRoom& room, const std::vector<Sent>& sent,
               const std::set<std::string>& watched, std::chrono::seconds longest) {
    const auto deadline = std::chrono::steady_clock::now() + longest;
    Arrivals arrivals = FirstArrivals(room);
    while (MissingOf(sent, arrivals, watched) > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kPollEvery);
        arrivals = FirstArrivals(room);
    }
    return arrivals;
}

std::vector<Sent> QueueSpaced(Rig& rig, OrderMaker& maker, int count, int also,
                              const RushHourOptions& options) {
    std::vector<Sent> sent;
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_for(maker.Gap(options.minGap, options.maxGap));
        const Order order = maker.Next(kHealthy, also);
        sent.push_back({order.table, rig.Desk().Queue({order}), PrintersOf(order)});
    }
    return sent;
}

double Ms(std::int64_t us) {
    return static_cast<double>(us) / 1000.0;
}

void RushPhase(Rig& rig, OrderMaker& maker, const RushHourOptions& options,
               RushHourFigures& figures) {
    std::cerr << "  (a) " << options.orders << " orders\n";
    const std::set<std::string> watched = {"NET1", "NET2", "PORT1"};
    const auto sent = QueueSpaced(rig, maker, options.orders, 0, options);
    const Arrivals arrivals =
        Drain(rig.Room(), sent, watched, std::chrono::seconds(options.drainSeconds));
    for (int i = 0; i < kHealthy; ++i) {
        const Printer& p = kPrinters[static_cast<std::size_t>(i)];
        std::vector<double> sample;
        long missing = 0;
        for (const Sent& s : sent) {
            if (!s.printers.contains(p.name)) {
                continue;
            }
            const auto arrived = arrivals.find({s.table, p.name});
            if (arrived == arrivals.end()) {
                ++missing;
            } else {
                sample.push_back(Ms(arrived->second - s.queuedUs));
            }
        }
        figures.perPrinter[Label(p)] = SpreadOf(sample);
        figures.missing[Label(p)] = missing;
    }
}

void BurstPhase(Rig& rig, OrderMaker& maker, const RushHourOptions& options,
                RushHourFigures& figures) {
    std::cerr << "  (b) a burst of " << options.burst << " tables\n";
    std::vector<Order> orders;
    for (int i = 0; i < options.burst; ++i) {
        orders.push_back(maker.Next(1));  // group G1: NET1 alone
    }
    const std::int64_t queued = rig.Desk().Queue(orders);
    std::vector<Sent> sent;
    for (const Order& order : orders) {
        sent.push_back({order.table, queued, {"NET1"}});
    }
    const Arrivals arrivals =
        Drain(rig.Room(), sent, {"NET1"}, std::chrono::seconds(options.drainSeconds));
    figures.burstMissing = MissingOf(sent, arrivals, {"NET1"});
    std::int64_t last = queued;
    for (const Sent& s : sent) {
        if (const auto arrived = arrivals.find({s.table, "NET1"}); arrived != arrivals.end()) {
            last = std::max(last, arrived->second);
        }
    }
    figures.burstMs = figures.burstMissing == 0 ? Ms(last - queued) : -1;
}

void StallPhase(Rig& rig, OrderMaker& maker, const RushHourOptions& options,
                RushHourFigures& figures) {
    std::cerr << "  (c) " << options.stallOrders << " orders, STALL1 stalled\n";
    rig.Room().Printer("STALL1").SetState(FakePrinterState::Silent);
    const std::set<std::string> healthy = {"NET1", "NET2", "PORT1"};
    // Every order has an item for the stalled printer too.
    const auto sent = QueueSpaced(rig, maker, options.stallOrders, kHealthy + 1, options);
    const Arrivals arrivals =
        Drain(rig.Room(), sent, healthy, std::chrono::seconds(options.drainSeconds));
    std::vector<double> sample;
    for (const Sent& s : sent) {
        for (const std::string& printer : s.printers) {
            const auto arrived = arrivals.find({s.table, printer});
            if (healthy.contains(printer) && arrived != arrivals.end()) {
                sample.push_back(Ms(arrived->second - s.queuedUs));
            }
        }
    }
    figures.healthyWhileStalled = SpreadOf(sample);
    figures.stalledMissing = MissingOf(sent, arrivals, healthy);
}

void IdlePhase(const std::string& server, const RushHourOptions& options,
               RushHourFigures& figures) {
    std::cerr << "  (d) idle for " << options.idleSeconds << " s\n";
    Rig rig(server, options);
    std::this_thread::sleep_for(kSettle);
    const double before = rig.Server().CpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
    const double after = rig.Server().CpuSeconds();
    figures.idleCpuPercent = 100.0 * (after - before) / options.idleSeconds;
    figures.idlePeakKb = rig.Server().PeakResidentKb();
    rig.Server().Stop(kStopGrace);
}

}  // namespace

RushHourFigures RunRushHour(const std::string& server, const RushHourOptions& options) {
    RushHourFigures figures;
    std::cerr << server << "\n";
    {
        Rig rig(server, options);
        std::cerr << "  outlet " << rig.Outlet().Folder() << " on " << options.database.Name()
                  << (rig.Outlet().LoadedSignalScript().empty()
                          ? ""
                          : ", with " + rig.Outlet().LoadedSignalScript())
                  << "\n";
        OrderMaker maker(options.seed);
        RushPhase(rig, maker, options, figures);
        BurstPhase(rig, maker, options, figures);
        StallPhase(rig, maker, options, figures);
        rig.Server().Stop(kStopGrace);
    }
    IdlePhase(server, options, figures);
    return figures;
}

}  // namespace kps::bench
