#include "printing/KitchenTicketComposer.h"

#include <array>

#include "output/LayoutLine.h"
#include "text/Text.h"

namespace kps {
namespace {

const std::string kLineBreak = "\r\n";
constexpr std::size_t kServiceLineColumns = 20;

std::string TicketQuery(const std::string& ticketKeyColumn, const std::string& ticketKeyValue,
                        const std::string& printerGroupCode) {
    const std::string columns =
        std::string(
            "A.TRSID,A.ID,A.TableCode,A.PluCode, A.Quantity , A.BillNo, A.TrsNo, "
            "A.PosDescription, A.PosDescription1, A.PosDescription2, A.PosDescription3, "
            "A.UnitPrice, ") +
        "A.Amount, A.Remark1, A.Remark2, A.Remark3, A.Remark4, A.Remark5,  A.ServiceType, " +
        "A.VoidRemark, A.RePrintRemark, B.ItemCode, B.ItemName, " +
        "B.BasedMeasure, C.ServiceName, C.BillCaption, A.KitStatus, A.KitReference," +
        "D.PrinterGroupCode,D.PrinterGroupName,D.RefPrinterGroup," +
        "A.PaxNo,A.StaffName,A.BillRef1,A.BillRef2,A.billRef3,A.AgentCode,A.AgentName,"
        "A.ClientCode,A.ClientName";
    return "select " + columns + " from kelt_trs_printingdetails as a" +
           " left outer join mrex_mt_item as b on b.itemcode=a.itemcode" +
           " Left Outer Join Kelt_mt_Service As C On A.ServiceType=C.ServiceType " +
           " left outer join kelt_mt_printergroup as D on "
           "D.PrinterGroupCode=b.RefPrinterGroupCode" +
           " WHERE a." + ticketKeyColumn + "='" + SqlQuote(ticketKeyValue) +
           "' and d.PrinterGroupCode='" + SqlQuote(printerGroupCode) + "' and A.PrintStatus=0";
}

std::string Text(const Recordset& row, const std::string& column) {
    return row.Field(column).Or("");
}

bool HasText(const Recordset& row, const std::string& column) {
    return !Text(row, column).empty();
}

// The column a layout key names; a key naming no column of the ticket query
// reads as Null rather than stopping the ticket.
Value LayoutColumn(const Recordset& row, const std::string& column) {
    if (column.empty() || !row.HasField(column)) {
        return Value::Null();
    }
    return row.Field(column);
}

int SlotOf(const std::string& digit) {
    if (digit == "2" || digit == "3" || digit == "4") {
        return digit[0] - '0';
    }
    return 1;
}

}  // namespace

KitchenTicketComposer::KitchenTicketComposer(PrintContext& ctx, TicketSender& sender)
    : ctx_(ctx), sender_(sender) {}

void KitchenTicketComposer::ComposeKitchenTicket(const std::string& deviceName,
                                                 const std::string& printingType,
                                                 const std::string& printerGroupCode,
                                                 const std::string& ticketKeyValue,
                                                 int optionPrinter1, const std::string& layoutFile,
                                                 const std::string& ticketKeyColumn) {
    TicketBuffers& ticket = ctx_.ticket;
    layout_ = LayoutFile::Read(layoutFile, ctx_.codePage);
    ticket.RowPerLine = layout_.RowPerLine;

    printingType_ = printingType;
    systemPrinterMode_ = printingType != "O" && printingType != "D";
    // Not a one-letter literal: GCC 12 warns falsely (-Wrestrict) on it at -O3.
    ticket.OutputMode = std::string(1, systemPrinterMode_ ? 'W' : 'O');
    ticket.PrintingType = printingType;
    if (systemPrinterMode_) {
        SelectSystemPrinterByName(ctx_.systemPrinter, deviceName);
    }

    ticket.RTF2.clear();
    auto rows =
        ctx_.db.OpenRecordset(TicketQuery(ticketKeyColumn, ticketKeyValue, printerGroupCode));
    if (rows->IsEOF()) {
        rows->Close();
        return;
    }

    // Items already on their way to a printer, or held by a divert question,
    // wait for that to settle; the ticket takes only the others.
    const std::size_t idColumn = rows->ColumnIndex("ID");
    auto skipHeld = [&] {
        while (!rows->IsEOF() && ctx_.inFlight.HoldsItem(rows->At(idColumn).AsText())) {
            rows->MoveNext();
        }
    };
    skipHeld();
    if (rows->IsEOF()) {
        rows->Close();
        return;
    }

    ticket.Header.BillNo = rows->Field("BillNo");
    ticket.Header.TableCode = rows->Field("TableCode");
    ticket.Header.PaxNo = rows->Field("PaxNo");
    ticket.Header.StaffName = LeftChars(Text(*rows, "StaffName"), 20);
    ticket.Header.DeviceName = deviceName;
    if (systemPrinterMode_) {
        ctx_.systemPrinter.SetFontName(ctx_.device.PrinterFont1);
    }
    ticket.RTF.clear();
    ticket.List3.clear();
    ticket.List4.clear();

    EmitClientBlock(*rows);
    for (const auto& line : layout_.HeaderLines) {
        EmitLayoutLine(line);
    }
    for (; !rows->IsEOF(); rows->MoveNext(), skipHeld()) {
        EmitItem(*rows);
    }
    for (const auto& line : layout_.FooterLines) {
        EmitLayoutLine(line);
    }

    ctx_.divert.DivertBanner.clear();
    ticket.DeviceName = deviceName;
    ticket.OptionPrinter1 = optionPrinter1;
    sender_.SendTicket();
    rows->Close();
}

void KitchenTicketComposer::Emit(const std::string& text, int slot) {
    if (systemPrinterMode_) {
        ctx_.systemPrinter.SetFontName(ctx_.device.PrinterFont(slot));
        ctx_.systemPrinter.PrintLine(text);
        return;
    }
    const std::string& code = ctx_.codes.FontCode(slot);
    ctx_.ticket.RTF += code + text + kLineBreak;
    ctx_.ticket.List3.push_back(code + text + kLineBreak);
    ctx_.ticket.List4.push_back(ctx_.codes.DirectFontCode(slot) + text + kLineBreak);
}

void KitchenTicketComposer::EmitLayoutLine(const std::string& line) {
    const std::string expanded =
        ExpandLayoutLine(line, ctx_.ticket, printingType_, FormatShortDate(ctx_.clock.Now()));
    const int slot = SlotOf(CharAt(line, 3));
    if (systemPrinterMode_) {
        Emit(expanded, slot);
        return;
    }
    // An OPOS printer centres every header and footer line itself.
    const std::string trimmed = Trim(expanded);
    ctx_.ticket.RTF += ctx_.codes.FontCode(slot) + expanded + kLineBreak;
    ctx_.ticket.List3.push_back(ctx_.codes.CodeCentre + ctx_.codes.FontCode(slot) + trimmed +
                                kLineBreak);
    ctx_.ticket.List4.push_back(ctx_.codes.DirectFontCode(slot) + trimmed + kLineBreak);
}

void KitchenTicketComposer::EmitColoured(const std::string& text, bool red) {
    const int body = layout_.BodyFont;
    if (systemPrinterMode_) {
        if (red) {
            ctx_.systemPrinter.SetColour(255, 0, 0);
        }
        Emit(text, body);
        if (red) {
            ctx_.systemPrinter.SetColour(0, 0, 0);
        }
        return;
    }
    const PrinterCodes& codes = ctx_.codes;
    const std::string wrapped =
        codes.CodeColourOn + codes.FontCode(body) + text + codes.CodeColourOff;
    ctx_.ticket.RTF += wrapped + kLineBreak;
    ctx_.ticket.List3.push_back(wrapped + kLineBreak);
    ctx_.ticket.List4.push_back(codes.DirectFontCode(body) + codes.DirectColourOn +
                                codes.DirectFontCode(body) + wrapped + codes.DirectColourOff +
                                kLineBreak);
}

void KitchenTicketComposer::EmitServiceLine(const std::string& serviceName) {
    const std::string cut = LeftChars("<" + serviceName + ">", kServiceLineColumns);
    const std::string text = CentringSpaces(kServiceLineColumns, cut) + cut;
    if (systemPrinterMode_) {
        Emit(text, layout_.BodyFont);
        return;
    }
    ctx_.ticket.RTF += text + kLineBreak;
    ctx_.ticket.List3.push_back(text + kLineBreak);
    ctx_.ticket.List4.push_back(ctx_.codes.DirectFontCode(layout_.BodyFont) + text + kLineBreak);
}

void KitchenTicketComposer::EmitSkipLine() {
    if (systemPrinterMode_) {
        Emit("", layout_.BodyFont);
        return;
    }
    ctx_.ticket.RTF += kLineBreak;
    ctx_.ticket.List3.push_back(kLineBreak);
    ctx_.ticket.List4.push_back(kLineBreak);
}

void KitchenTicketComposer::EmitClientBlock(const Recordset& rows) {
    bool emitted = false;
    for (const char* column : {"ClientCode", "ClientName", "BillRef1", "BillRef2", "BillRef3"}) {
        const std::string value = Text(rows, column);
        if (CharCount(value) > 0) {
            Emit("> " + value, 2);
            emitted = true;
        }
    }
    if (emitted) {
        Emit(kLineBreak, 2);
    }
}

void KitchenTicketComposer::EmitItem(const Recordset& row) {
    const int body = layout_.BodyFont;
    const int format = layout_.Format;
    if (systemPrinterMode_) {
        ctx_.systemPrinter.SetFontName(ctx_.device.PrinterFont(body));
    }
    const bool takeAway = Text(row, "ServiceType") == "T";
    const std::string plu = Text(row, "PluCode");
    const std::string quantity = Text(row, "Quantity");
    const std::string description = LayoutColumn(row, layout_.PosDescriptionLine).Or("");

    int indent = 3;
    if (format == 1) {
        indent = 5;
        if (!row.Field("PluCode").IsNull()) {
            Emit(Spaces(5) + plu, body);
            Emit(Spaces(5) + std::string(CharCount(plu) + 1, '-'), body);
        }
    }
    if (format == 4) {
        const long quantityGap = 3 - static_cast<long>(CharCount(LeftChars(quantity, 3)));
        const long pluGap = 10 - static_cast<long>(CharCount(LeftChars(plu, 10)));
        Emit(Trim(quantity) + Spaces(quantityGap) + Trim(plu) + Spaces(pluGap) + description, body);
        indent = 13;
    }
    if (format >= 1 && format <= 3) {
        const std::string shown = Trim(LeftChars(quantity, 3));
        Emit(shown + Spaces(indent - static_cast<long>(CharCount(shown))) + description, body);
    }

    // Format 4 repeats the description under the item unless the first
    // extra description column gives a value of its own.
    const std::array<const std::string*, 3> keys = {
        &layout_.PosDescriptionLine1, &layout_.PosDescriptionLine2, &layout_.PosDescriptionLine3};
    for (std::size_t k = 0; k < keys.size(); ++k) {
        std::string line = (format == 4 && k == 0) ? description : std::string();
        const Value value = LayoutColumn(row, *keys[k]);
        if (!value.IsNull()) {
            line = value.AsText();
        }
        if (!line.empty()) {
            Emit(Spaces(indent) + line, body);
        }
    }

    if (takeAway && HasText(row, "ServiceName")) {
        EmitServiceLine(Text(row, "ServiceName"));
    }
    if (!row.Field("AgentName").IsNull()) {
        EmitColoured("^ " + Text(row, "AgentName"), false);
    }
    for (int k = 1; k <= 5; ++k) {
        const std::string remark = Text(row, "Remark" + std::to_string(k));
        if (!remark.empty()) {
            EmitColoured(Spaces(indent) + "* " + remark, true);
        }
    }
    for (const char* column : {"VoidRemark", "RePrintRemark"}) {
        if (HasText(row, column)) {
            EmitColoured("* " + Text(row, column), true);
        }
    }
    for (const char* column : {"KitStatus", "KitReference"}) {
        if (HasText(row, column)) {
            EmitColoured("* " + Text(row, column), false);
        }
    }
    if (layout_.Skipline) {
        EmitSkipLine();
    }

    // Marked printed by the sending step once the printer has taken the ticket.
    ctx_.ticket.List1.push_back(row.Field("ID").AsText());
    ctx_.ticket.List2.push_back(row.Field("TRSID").AsText());
}

}  // namespace kps
