#include "status/StatusMetrics.h"

#include <array>
#include <functional>
#include <initializer_list>
#include <optional>

#include "status/StatusHealth.h"
#include "status/StatusWords.h"
#include "status/WebText.h"

namespace kps {

namespace {

constexpr std::array kStates = {PrinterState::Printing, PrinterState::NotPrinting,
                                PrinterState::QuestionPending, PrinterState::Suspended};

class Metrics {
  public:
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) at -O3 on
    // a literal + string here.
    void Family(std::string_view name, std::string_view type, std::string_view help) {
        Append({"# HELP ", name, " ", help, "\n# TYPE ", name, " ", type, "\n"});
    }
    void Sample(std::string_view name, std::string_view labels, std::string_view value) {
        Append(
            {name, labels.empty() ? "" : "{", labels, labels.empty() ? "" : "}", " ", value, "\n"});
    }
    const std::string& Text() const { return text_; }

  private:
    void Append(std::initializer_list<std::string_view> pieces) {
        for (std::string_view piece : pieces) {
            text_ += piece;
        }
    }

    std::string text_;
};

void Histogram(Metrics& metrics, const std::string& name, std::string_view help,
               const SecondsHistogram::Counts& counts) {
    metrics.Family(name, "histogram", help);
    long long cumulative = 0;
    for (std::size_t i = 0; i < counts.buckets.size(); ++i) {
        cumulative += counts.buckets[i];
        const std::string bound = i < SecondsHistogram::kBounds.size()
                                      ? DecimalText(SecondsHistogram::kBounds[i])
                                      : "+Inf";
        std::string labels = "le=\"";
        labels += bound;
        labels += '"';
        metrics.Sample(name + "_bucket", labels, std::to_string(cumulative));
    }
    metrics.Sample(name + "_sum", "", DecimalText(counts.sumSeconds));
    metrics.Sample(name + "_count", "", std::to_string(counts.count));
}

std::string DeviceLabel(const PrinterSnapshot& printer) {
    return "device=\"" + EscapeLabelValue(printer.status.device) + "\"";
}

// One family with a sample per printer; a printer without a value is left out.
void PerPrinter(Metrics& metrics, const StatusSnapshot& snapshot, std::string_view name,
                std::string_view type, std::string_view help,
                const std::function<std::optional<std::string>(const PrinterSnapshot&)>& value) {
    metrics.Family(name, type, help);
    for (const PrinterSnapshot& printer : snapshot.printers) {
        if (auto sample = value(printer)) {
            metrics.Sample(name, DeviceLabel(printer), *sample);
        }
    }
}

}  // namespace

std::string MetricsText(const StatusSnapshot& snapshot, SteadyTime now) {
    Metrics metrics;
    PerPrinter(metrics, snapshot, "kps_printer_up", "gauge",
               "1 while the printer prints, 0 while it does not, waits for a question or is "
               "suspended.",
               [](const PrinterSnapshot& p) {
                   return std::string(p.status.state == PrinterState::Printing ? "1" : "0");
               });
    metrics.Family("kps_printer_state", "gauge", "1 for the printer's state, 0 for the others.");
    for (const PrinterSnapshot& printer : snapshot.printers) {
        for (PrinterState state : kStates) {
            metrics.Sample("kps_printer_state",
                           DeviceLabel(printer) + ",state=\"" + std::string(StateKey(state)) + "\"",
                           printer.status.state == state ? "1" : "0");
        }
    }
    PerPrinter(metrics, snapshot, "kps_printer_waiting_items", "gauge",
               "Waiting items the printer would print.",
               [](const PrinterSnapshot& p) { return std::to_string(p.status.waitingItems); });
    PerPrinter(metrics, snapshot, "kps_printer_tickets_printed_total", "counter",
               "Tickets printed since the server started.",
               [](const PrinterSnapshot& p) { return std::to_string(p.status.ticketsPrinted); });
    PerPrinter(metrics, snapshot, "kps_printer_failures_total", "counter",
               "Jobs that failed since the server started.",
               [](const PrinterSnapshot& p) { return std::to_string(p.status.failures); });
    PerPrinter(metrics, snapshot, "kps_printer_seconds_since_last_print", "gauge",
               "Seconds since the printer last printed; absent before its first ticket.",
               [&](const PrinterSnapshot& p) -> std::optional<std::string> {
                   auto seconds = SecondsSinceLastPrint(snapshot, p.status, now);
                   return seconds ? std::optional(DecimalText(*seconds)) : std::nullopt;
               });

    const ServerSnapshot& server = snapshot.server;
    metrics.Family("kps_server_ticks_total", "counter", "Polling cycles since the start.");
    metrics.Sample("kps_server_ticks_total", "", std::to_string(server.ticks));
    metrics.Family("kps_server_last_tick_duration_seconds", "gauge",
                   "How long the last polling cycle took.");
    metrics.Sample("kps_server_last_tick_duration_seconds", "",
                   DecimalText(std::chrono::duration<double>(server.lastTickTook).count(), 6));
    metrics.Family("kps_server_seconds_since_last_tick", "gauge",
                   "Seconds since the last polling cycle ended (or the server started).");
    metrics.Sample("kps_server_seconds_since_last_tick", "",
                   DecimalText(SecondsSinceTick(snapshot, now)));
    Histogram(metrics, "kps_order_to_first_byte_seconds",
              "Kitchen tickets: seconds from the polling cycle that first found their items "
              "waiting to their first byte.",
              server.firstByte);
    Histogram(metrics, "kps_server_pass_duration_seconds",
              "Polling cycles that read the waiting rows, sent and settled: how long each took "
              "(seconds that only kept time are not counted).",
              server.passes);
    metrics.Family("kps_database_errors_total", "counter",
                   "Database statements that failed since the server started.");
    metrics.Sample("kps_database_errors_total", "", std::to_string(server.databaseErrors));
    metrics.Family("kps_server_standby", "gauge", "1 while another server prints for the outlet.");
    metrics.Sample("kps_server_standby", "", server.standby ? "1" : "0");
    metrics.Family("kps_server_waiting_items", "gauge", "Items waiting to print.");
    metrics.Sample("kps_server_waiting_items", "", std::to_string(server.waitingItems));
    metrics.Family("kps_server_unroutable_items", "gauge", "Waiting items no printer takes.");
    metrics.Sample("kps_server_unroutable_items", "", std::to_string(server.unroutableItems));
    return metrics.Text();
}

}  // namespace kps
