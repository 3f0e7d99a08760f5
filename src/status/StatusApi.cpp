#include "status/StatusApi.h"

#include "sending/PrinterStateLine.h"
#include "startup/IsoDateTime.h"
#include "status/JsonWriter.h"
#include "status/StatusHealth.h"
#include "status/StatusWords.h"
#include "status/TicketPaper.h"

namespace kps {

namespace {

void Server(JsonWriter& json, const StatusSnapshot& snapshot, SteadyTime now) {
    const ServerSnapshot& server = snapshot.server;
    const Health health = HealthOf(snapshot, now);
    json.Key("server").BeginObject();
    json.Key("state").String(server.standby ? "standby" : "printing");
    json.Key("healthy").Bool(health.healthy);
    json.Key("health").String(health.text);
    json.Key("line").String(ServerLine(snapshot, now));
    json.Key("statusLine").String(server.statusLine);
    json.Key("ticks").Integer(server.ticks);
    json.Key("lastTick");
    if (server.ticks > 0) {
        json.String(FormatIsoDateTime(server.lastTick));
    } else {
        json.Null();
    }
    json.Key("secondsSinceLastTick").Decimal(SecondsSinceTick(snapshot, now));
    json.Key("lastTickSeconds").Decimal(std::chrono::duration<double>(server.lastTickTook).count());
    json.Key("waitingItems").Integer(server.waitingItems);
    json.Key("unroutableItems").Integer(server.unroutableItems);
    json.EndObject();
}

void Printer(JsonWriter& json, const PrinterSnapshot& printer) {
    const PrinterStatus& status = printer.status;
    json.BeginObject();
    json.Key("device").String(status.device);
    json.Key("kind").String(KindWords(printer.printingType));
    json.Key("state").String(StateKey(status.state));
    json.Key("reason").String(FaultKey(status.reason));
    json.Key("answersAgain").Bool(status.answersAgain);
    json.Key("words").String(DescribePrinterState(status));
    json.Key("lastPrinted");
    if (status.lastPrinted) {
        json.String(FormatIsoDateTime(*status.lastPrinted));
    } else {
        json.Null();
    }
    json.Key("lastPrintedText").String(LastPrintedText(status));
    json.Key("waitingItems").Integer(status.waitingItems);
    json.Key("ticketsOnTheirWay").Integer(printer.ticketsOnTheirWay);
    json.Key("ticketsPrinted").Integer(status.ticketsPrinted);
    json.Key("failures").Integer(status.failures);
    json.Key("actions").BeginArray();
    for (const PageAction& action : PrinterActions(printer)) {
        json.BeginObject();
        json.Key("label").String(action.label);
        json.Key("path").String(action.path);
        json.Key("answer").String(action.answer);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

void Waiting(JsonWriter& json, const StatusSnapshot& snapshot) {
    json.Key("waiting").BeginObject();
    json.Key("columns").BeginArray();
    for (std::size_t column = 1; column < WaitingGrid::Columns().size(); ++column) {
        json.String(WaitingGrid::Columns()[column].header);
    }
    json.EndArray();
    json.Key("rows").BeginArray();
    for (const WaitingGrid::Row& row : snapshot.waiting) {
        json.BeginArray();
        for (const std::string& cell : row) {
            json.String(cell);
        }
        json.EndArray();
    }
    json.EndArray();
    json.Key("total").Integer(snapshot.server.waitingItems);
    json.EndObject();
}

// The ticket's list entry; its paper lines follow when `paper` is given.
void Ticket(JsonWriter& json, const StoredTicket& ticket, std::size_t n, KeptTicketReader* paper) {
    json.BeginObject();
    json.Key("n").Integer(static_cast<long long>(n));
    json.Key("time").String(FormatIsoDateTime(ticket.time));
    json.Key("key").String(ticket.key);
    json.Key("items").Integer(static_cast<long long>(ticket.itemIds.size()));
    json.Key("title").String(TicketTitle(ticket));
    if (paper != nullptr) {
        json.Key("lines").BeginArray();
        for (const PaperLine& line : paper->Paper(ticket)) {
            json.BeginObject();
            json.Key("align").String(line.align == PaperAlign::Centre  ? "centre"
                                     : line.align == PaperAlign::Right ? "right"
                                                                       : "left");
            json.Key("cut").Bool(line.cut);
            if (!line.image.Empty()) {
                json.Key("image").BeginObject();
                json.Key("width").Integer(line.image.widthBytes * 8);
                json.Key("height").Integer(line.image.height);
                json.Key("red").Bool(line.imageRed);
                json.EndObject();
            }
            json.Key("runs").BeginArray();
            for (const PaperRun& run : line.runs) {
                json.BeginObject();
                json.Key("text").String(run.text);
                json.Key("width").Integer(run.width);
                json.Key("height").Integer(run.height);
                json.Key("red").Bool(run.red);
                json.EndObject();
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
    }
    json.EndObject();
}

void TicketList(JsonWriter& json, const std::vector<StoredTicket>& tickets,
                KeptTicketReader* paper) {
    json.Key("tickets").BeginArray();
    for (std::size_t i = 0; i < tickets.size(); ++i) {
        Ticket(json, tickets[i], i + 1, paper);
    }
    json.EndArray();
}

}  // namespace

std::string StatusJson(const StatusSnapshot& snapshot, SteadyTime now) {
    JsonWriter json;
    json.BeginObject();
    Server(json, snapshot, now);
    json.Key("printers").BeginArray();
    for (const PrinterSnapshot& printer : snapshot.printers) {
        Printer(json, printer);
    }
    json.EndArray();
    Waiting(json, snapshot);
    json.Key("tickets").BeginArray();
    for (const auto& [device, tickets] : *snapshot.tickets) {
        json.BeginObject();
        json.Key("device").String(device);
        TicketList(json, tickets, nullptr);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

std::string TicketsJson(const std::string& device, const std::vector<StoredTicket>& tickets,
                        int codePage, const PosPrinterRegistry* printers) {
    JsonWriter json;
    json.BeginObject();
    json.Key("device").String(device);
    KeptTicketReader paper(device, codePage, printers);
    TicketList(json, tickets, &paper);
    json.EndObject();
    return json.Text() + "\n";
}

}  // namespace kps
