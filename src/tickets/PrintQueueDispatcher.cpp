#include "tickets/PrintQueueDispatcher.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <utility>
#include <vector>

#include "startup/FlagText.h"
#include "text/Text.h"

namespace kps {
namespace {

std::string TicketKeyQuery(const std::string& keyColumn, const std::string& where) {
    return "select DISTINCT c.PrinterGroupCode,c.RefPrinterGroup,a." + keyColumn +
           " from kelt_trs_printingdetails as a" +
           " left outer join mrex_mt_item as b on b.itemcode=a.itemcode" +
           " left outer join kelt_mt_printergroup as c on "
           "c.printergroupcode=b.refprintergroupcode" +
           where;
}

}  // namespace

PrintQueueDispatcher::PrintQueueDispatcher(PrintContext& ctx, KitchenTicketComposer& composer)
    : ctx_(ctx), composer_(composer) {}

void PrintQueueDispatcher::DispatchPrintQueue() {
    Recordset& devices = ctx_.window.DeviceList();
    devices.Requery();
    if (devices.IsEOF()) {
        return;
    }

    std::string sql;
    const std::string keyColumn = ticketKeyColumn_;
    if (ctx_.window.IndividualMode()) {
        ticketKeyColumn_ = "ItemCode";
        sql = TicketKeyQuery(ticketKeyColumn_, " WHERE a.PrintStatus=0");
    } else {
        ticketKeyColumn_ = "TableCode";
        sql = TicketKeyQuery(ticketKeyColumn_, " Where A.PrintStatus = 0");
    }
    // Keys of the other mode name other tickets.
    if (ticketKeyColumn_ != keyColumn) {
        tried_.clear();
        found_.clear();
    }

    // A ticket's wait is counted from the first pass that found its items,
    // however many passes it waited for its printer.
    const auto passStarted = std::chrono::steady_clock::now();
    std::map<Ticket, std::chrono::steady_clock::time_point> found;
    bool cutShort = false;
    bool dispatched = false;
    auto tickets = ctx_.db.OpenRecordset(sql);
    for (; !tickets->IsEOF(); tickets->MoveNext()) {
        // Items of no printer group wait until their item gets one.
        const Value& flags = tickets->Field("RefPrinterGroup");
        if (flags.IsNull()) {
            continue;
        }
        // A key has a ticket for each printer group of its items.
        Ticket ticket{tickets->Field("PrinterGroupCode").Or(""),
                      tickets->Field(ticketKeyColumn_).Or("")};
        const auto earlier = found_.find(ticket);
        const auto firstFound = found[ticket] =
            earlier == found_.end() ? passStarted : earlier->second;
        if (cutShort || tried_.contains(ticket)) {
            continue;
        }
        if (dispatched && budget_ && std::chrono::steady_clock::now() - passStarted >= *budget_) {
            cutShort = true;  // the rest is only counted as found
            continue;
        }
        ctx_.device.PrinterGroupCode = ticket.first;
        ticketKeyValue_ = tickets->Field(ticketKeyColumn_);
        ctx_.itemsFound = firstFound;
        DispatchTicket(flags.AsText());
        dispatched = true;
        if (budget_) {
            tried_.insert(std::move(ticket));
        }
    }
    tickets->Close();
    ctx_.itemsFound = {};
    found_ = std::move(found);
    if (cutShort) {
        moreLeft_();
    } else {
        tried_.clear();
    }
}

void PrintQueueDispatcher::LimitPasses(std::chrono::steady_clock::duration budget,
                                       std::function<void()> moreLeft) {
    budget_ = budget;
    moreLeft_ = std::move(moreLeft);
}

void PrintQueueDispatcher::DispatchTicket(const std::string& flags) {
    // The group's usable devices form a chain: each takes what the earlier
    // ones could not print.
    std::vector<std::pair<PrintDeviceSetting, PrinterCodes>> chain;
    for (int p : FlaggedPositions(flags)) {
        if (LoadDeviceSetting(p)) {
            chain.emplace_back(ctx_.device, ctx_.codes);
        }
    }
    // Only a later device of another name that is not cancelled can take
    // over; without one, a device keeps what it could not print and tries
    // it again.
    const auto& cancelled = ctx_.divert.CancelledPrinters;
    auto continues = [&](std::size_t i) {
        return std::any_of(
            chain.begin() + static_cast<long>(i) + 1, chain.end(), [&](const auto& later) {
                const std::string& name = later.first.DeviceName;
                return name != chain[i].first.DeviceName && !cancelled.contains(name);
            });
    };
    const LocalDateTime now = ctx_.clock.Now();
    for (std::size_t i = 0; i < chain.size(); ++i) {
        ctx_.device = chain[i].first;
        ctx_.codes = chain[i].second;
        PrintDeviceSetting& device = ctx_.device;
        device.GroupContinues = continues(i);
        // A printer with a divert question waiting gets nothing new until
        // the operator has answered it; one that is down leaves its tickets
        // to the next device until it is due to be tried again; one that
        // just failed is tried again at the next second.
        const std::string& name = device.DeviceName;
        if (cancelled.contains(name) || ctx_.records.Questioned(name) ||
            ctx_.records.FailedThisSecond(name, now) ||
            (device.GroupContinues && ctx_.records.Down(name, now))) {
            continue;
        }
        composer_.ComposeKitchenTicket(name, device.PrintingType, device.PrinterGroupCode,
                                       ticketKeyValue_, device.OptionPrinter1, device.WP_FileName,
                                       ticketKeyColumn_);
    }
}

bool PrintQueueDispatcher::LoadDeviceSetting(int deviceCode) {
    Recordset& devices = ctx_.window.DeviceList();
    devices.MoveFirst();
    devices.Find("Devicecode=" + std::to_string(deviceCode));
    if (devices.IsEOF()) {
        return false;
    }
    const Value& name = devices.Field("DeviceName");
    const Value& type = devices.Field("PrintingType");
    if (name.IsNull() || type.IsNull()) {
        return false;
    }
    // A type with no path to print on ("w", "X") would draw into the system
    // printer's job without ending it; its tickets wait instead, said once.
    const std::string& typeText = type.AsText();
    if (typeText != "O" && typeText != "D" && typeText != "W") {
        if (unknownTypes_.insert(name.AsText()).second) {
            ctx_.log.WriteLog("Printing type '" + typeText + "' of '" + name.AsText() +
                              "' is unknown");
        }
        return false;
    }
    unknownTypes_.erase(name.AsText());

    PrintDeviceSetting& device = ctx_.device;
    device.DeviceName = name.AsText();
    device.PrintingType = type.AsText();
    device.GroupContinues = false;
    PR_LoadOposSetting(ctx_.codes, device.PrintingType);
    ctx_.window.ShowStatus("Sending to Printer '" + device.DeviceName + "'");

    auto text = [&](const char* column, const char* fallback) {
        return devices.Field(column).Or(fallback);
    };
    // No divert printer is known for a device without one: code 0 names none.
    device.OptionPrinter1 = static_cast<int>(LeadingNumber(text("OptionPrinter1", "0")));
    device.DirectPort = text("DirectPort", "LPT1");
    device.LDNName = text("LDNName", "");
    device.PrinterFont1 = text("PrinterFont1", "FONTB1X1");
    device.PrinterFont2 = text("PrinterFont2", "FONTB1X2");
    device.PrinterFont3 = text("PrinterFont3", "FONTB2X1");
    device.PrinterFont4 = text("PrinterFont4", "FONTB2X1");
    device.PrinterRowLine = static_cast<int>(LeadingNumber(text("PrinterRowLine", "40")));
    device.WP_FileName = text("WP_FileName", "Kit001.ini");

    if (device.PrintingType == "O" || device.PrintingType == "D") {
        device.PrinterFont1 = ctx_.codes.FontCode1;
        device.PrinterFont2 = ctx_.codes.FontCode2;
        device.PrinterFont3 = ctx_.codes.FontCode3;
        device.PrinterFont4 = ctx_.codes.FontCode4;
    }
    return true;
}

}  // namespace kps
