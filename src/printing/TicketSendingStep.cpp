#include "printing/TicketSendingStep.h"

#include "database/Recordset.h"
#include "output/DirectPort.h"
#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {

TicketSendingStep::TicketSendingStep(PrintContext& context, TRDIVET& dialog, DivertDialogHost& host)
    : context_(context), dialog_(dialog), host_(host) {}

void TicketSendingStep::SendTicket() {
    context_.divert.DivertBanner.clear();
    const std::string& type = context_.ticket.PrintingType;
    if (type == "O") {
        SendOpos();
    } else if (type == "D") {
        SendDirect();
    } else if (type == "W") {
        SendSystem();
    } else {
        // No path to print on: nothing may be marked printed.
        ForgetItems();
    }
}

void TicketSendingStep::SendOpos() {
    TicketBuffers& ticket = context_.ticket;
    if (!context_.opos.OpenOpsLDN(ticket.DeviceName, context_.device.LDNName)) {
        Divert();
        return;
    }
    context_.opos.PrintOposTicket(ticket, context_.codes);
    if (ticket.PrintFailed) {
        ForgetItems();  // the items stay waiting for the next pass
    } else {
        MarkTicketPrinted();
    }
}

void TicketSendingStep::Divert() {
    TicketBuffers& ticket = context_.ticket;
    DivertState& divert = context_.divert;
    const std::string& name = ticket.DeviceName;

    context_.log.WriteLog("Error Open Printer '" + name + "'");
    divert.DivertLabelText = " Error Sending item to Printer '" + name + "'";
    const std::string divertName = LoadDivertDevice(std::to_string(ticket.OptionPrinter1));

    dialog_.List1 = ticket.List3;
    dialog_.List2 = ticket.List1;
    dialog_.List3 = ticket.List2;
    divert.DivertBanner = "*Divert From " + name;
    dialog_.OPrinterName = divertName;
    dialog_.oIPAddress = ticket.DivertAddress;
    dialog_.OriPrinter = name;

    host_.ShowModal(dialog_);
    dialog_.Unload();

    if (divert.DivertSucceeded) {
        MarkTicketPrinted();
        return;
    }
    ForgetItems();
    ticket.PrintFailed = true;
}

void TicketSendingStep::SendDirect() {
    TicketBuffers& ticket = context_.ticket;
    PrintDirectTicket(ticket, context_.device.DirectPort, context_.codePage, context_.log,
                      context_.op);
    if (ticket.PrintFailed) {
        ForgetItems();
    } else {
        MarkTicketPrinted();
    }
}

void TicketSendingStep::SendSystem() {
    if (context_.systemPrinter.EndJob()) {
        MarkTicketPrinted();
        return;
    }
    context_.log.WriteLog("Error Printing at '" + context_.ticket.DeviceName + "'");
    ForgetItems();
}

void TicketSendingStep::MarkTicketPrinted() {
    TicketBuffers& ticket = context_.ticket;
    for (std::size_t i = 0; i < ticket.List1.size(); ++i) {
        // The lists are parallel by construction; a missing bill ID names no row.
        const std::string billId = i < ticket.List2.size() ? ticket.List2[i] : std::string();
        try {
            context_.db.Execute("Update Kelt_trs_PrintingDetails Set PrintStatus=1 Where ID=" +
                                std::to_string(LeadingNumber(ticket.List1[i])));
            context_.db.Execute("Update Kelt_trs_BillDetails Set KitchenStatus=1 Where ID=" +
                                std::to_string(LeadingNumber(billId)));
        } catch (const KpsError&) {
            context_.log.WriteLog("Error Update Transaction");
            return;
        }
    }
    ForgetItems();
}

std::string TicketSendingStep::LoadDivertDevice(const std::string& deviceCode) {
    TicketBuffers& ticket = context_.ticket;
    std::string name;
    ticket.DivertAddress.clear();
    auto devices = context_.db.OpenRecordset("Select * from kelt_mt_device WHERE Devicecode='" +
                                             SqlQuote(deviceCode) + "'");
    devices->Requery();
    if (!devices->IsEOF()) {
        const Value& deviceName = devices->Field("DeviceName");
        if (!deviceName.IsNull()) {
            name = deviceName.AsText();
        }
        const Value& address = devices->Field("LDNName");
        if (!address.IsNull()) {
            ticket.DivertAddress = address.AsText();
        }
    }
    devices->Close();
    return name;
}

void TicketSendingStep::ForgetItems() {
    context_.ticket.List1.clear();
    context_.ticket.List2.clear();
}

}  // namespace kps
