#include "tickets/KitchenTicketComposer.h"

#include <array>

#include "output/LayoutLine.h"
#include "reprint/ReprintLabel.h"
#include "text/Text.h"

namespace kps {
namespace {

const std::string kLineBreak = "\r\n";
constexpr std::size_t kServiceLineColumns = 20;

std::string TicketQuerySql(const std::string& ticketKeyColumn, bool keyIsNull) {
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
           " WHERE a." + ticketKeyColumn + (keyIsNull ? " IS NULL" : "=?") +
           " and d.PrinterGroupCode=? and A.PrintStatus=0";
}

// The columns of the ticket query in the order of the Column enum.
constexpr std::array<const char*, 25> kColumnNames = {
    "ID",         "TRSID",       "BillNo",        "TableCode", "PaxNo",
    "StaffName",  "ServiceType", "ServiceName",   "PluCode",   "Quantity",
    "AgentName",  "Remark1",     "Remark2",       "Remark3",   "Remark4",
    "Remark5",    "VoidRemark",  "RePrintRemark", "KitStatus", "KitReference",
    "ClientCode", "ClientName",  "BillRef1",      "BillRef2",  "BillRef3"};

int SlotOf(const std::string& digit) {
    if (digit == "2" || digit == "3" || digit == "4") {
        return digit[0] - '0';
    }
    return 1;
}

}  // namespace

KitchenTicketComposer::KitchenTicketComposer(PrintContext& ctx, TicketSender& sender)
    : ctx_(ctx), sender_(sender) {}

KitchenTicketComposer::TicketQuery& KitchenTicketComposer::Query(const std::string& ticketKeyColumn,
                                                                 bool keyIsNull) {
    const std::string sql = TicketQuerySql(ticketKeyColumn, keyIsNull);
    TicketQuery& query = queries_[sql];
    if (!query.rows) {
        query.rows = std::make_unique<Recordset>(ctx_.db, sql, Recordset::Unrun{});
    }
    return query;
}

void KitchenTicketComposer::ComposeKitchenTicket(const std::string& deviceName,
                                                 const std::string& printingType,
                                                 const std::string& printerGroupCode,
                                                 const Value& ticketKeyValue, int optionPrinter1,
                                                 const std::string& layoutFile,
                                                 const std::string& ticketKeyColumn) {
    TicketBuffers& ticket = ctx_.ticket;
    layout_ = layouts_.Get(FindLayoutFile(layoutFile, ctx_.settingsFolder), ctx_.codePage);
    if (layout_ == nullptr) {
        ReportLayout(layoutFile, true);
        return;
    }
    ticket.RowPerLine = layout_->RowPerLine;
    ticket.TicketKey = ticketKeyValue.Or("");

    printingType_ = printingType;
    systemPrinterMode_ = printingType != "O" && printingType != "D";
    // Not a one-letter literal: GCC 12 warns falsely (-Wrestrict) on it at -O3.
    ticket.OutputMode = std::string(1, systemPrinterMode_ ? 'W' : 'O');
    ticket.PrintingType = printingType;
    ticket.RTF2.clear();

    query_ = &Query(ticketKeyColumn, ticketKeyValue.IsNull());
    rows_ = query_->rows.get();
    int parameter = 1;
    if (!ticketKeyValue.IsNull()) {
        rows_->Bind(parameter++, ticketKeyValue);
    }
    rows_->Bind(parameter, Value::Text(printerGroupCode));
    rows_->Requery();
    if (!query_->resolved) {
        for (std::size_t c = 0; c < kColumnNames.size(); ++c) {
            query_->at[c] = rows_->ColumnIndex(kColumnNames[c]);
        }
        query_->resolved = true;
    }

    // Possible second copies first, on a ticket of their own, so a cook
    // never throws away a new order with a copy.
    descriptionColumns_ = {
        FindColumnOf(layout_->PosDescriptionLine), FindColumnOf(layout_->PosDescriptionLine1),
        FindColumnOf(layout_->PosDescriptionLine2), FindColumnOf(layout_->PosDescriptionLine3)};
    device_ = deviceName;
    bool composed =
        !ctx_.records.AnyMayBeOnPaper() || ComposeTicket(true, deviceName, optionPrinter1);
    composed = ComposeTicket(false, deviceName, optionPrinter1) && composed;
    ReportLayout(layoutFile, !composed);
}

bool KitchenTicketComposer::Wanted(bool reprints) {
    const Value& id = Field(kId);
    if (!ExactInteger(id)) {
        // Such a row could never be marked, nor name another row by mistake.
        if (badIds_.insert(id.AsText()).second) {
            ctx_.log.WriteLog("Item ID '" + id.AsText() + "' is not a whole number");
        }
        return false;
    }
    const std::string exact = std::to_string(*ExactInteger(id));
    const TicketRecords& records = ctx_.records;
    // The last device its group can still use tries again what it passed over.
    const bool passedOver = ctx_.device.GroupContinues && records.PassedOver(exact, device_);
    return !records.Holds(exact) && records.MayBeOnPaper(exact) == reprints && !passedOver;
}

bool KitchenTicketComposer::ComposeTicket(bool reprints, const std::string& deviceName,
                                          int optionPrinter1) {
    TicketBuffers& ticket = ctx_.ticket;
    rows_->MoveFirst();
    auto skip = [&] {
        while (!rows_->IsEOF() && !Wanted(reprints)) {
            rows_->MoveNext();
        }
    };
    skip();
    if (rows_->IsEOF()) {
        return true;
    }

    ticket.Header.BillNo = Field(kBillNo);
    ticket.Header.TableCode = Field(kTableCode);
    ticket.Header.PaxNo = Field(kPaxNo);
    ticket.Header.StaffName = LeftChars(Text(kStaffName), 20);
    ticket.Header.DeviceName = deviceName;
    // Every line sets its own font.
    page_ = SystemPrinterPage();
    ticket.RTF.clear();
    ticket.List3.clear();
    ticket.List4.clear();
    ticket.List1.clear();
    ticket.List2.clear();

    EmitClientBlock();
    for (const auto& line : layout_->HeaderLines) {
        EmitLayoutLine(line);
    }
    ticket.HeaderEnd = ticket.List3.size();
    ticket.HeaderEndInRTF = ticket.RTF.size();
    if (reprints) {
        EmitReprintLabel();
    }
    itemLines_ = 0;
    for (; !rows_->IsEOF(); rows_->MoveNext(), skip()) {
        EmitItem();
    }
    for (const auto& line : layout_->FooterLines) {
        EmitLayoutLine(line);
    }
    // A ticket without a line for any item would lose the order if it were
    // marked.
    if (itemLines_ == 0) {
        ticket.List1.clear();
        ticket.List2.clear();
        return false;
    }
    if (reprints) {
        std::string ids;
        for (const auto& id : ticket.List1) {
            ids += (ids.empty() ? "" : ",") + id;
        }
        ctx_.log.WriteLog("Reprint '" + deviceName + "' items " + ids);
    }

    ticket.Page = page_.Lines();
    ticket.DeviceName = deviceName;
    ticket.OptionPrinter1 = optionPrinter1;
    sender_.SendTicket();
    return true;
}

std::size_t KitchenTicketComposer::LinesSoFar() const {
    return systemPrinterMode_ ? page_.Lines().size() : ctx_.ticket.List3.size();
}

void KitchenTicketComposer::ReportLayout(const std::string& layoutFile, bool broken) {
    if (!broken) {
        brokenLayouts_.erase(layoutFile);
    } else if (brokenLayouts_.insert(layoutFile).second) {
        ctx_.log.WriteLog("Error Layout File '" + layoutFile + "'");
    }
}

std::optional<std::size_t> KitchenTicketComposer::FindColumnOf(const std::string& column) const {
    if (column.empty()) {
        return std::nullopt;
    }
    return rows_->FindColumn(column);
}

Value KitchenTicketComposer::LayoutColumn(int key) const {
    // A key naming no column of the ticket query reads as Null rather than
    // stopping the ticket.
    const auto& at = descriptionColumns_[static_cast<std::size_t>(key)];
    return at ? rows_->At(*at) : Value::Null();
}

void KitchenTicketComposer::Emit(const std::string& text, int slot) {
    if (systemPrinterMode_) {
        page_.SetFontName(ctx_.device.PrinterFont(slot));
        page_.PrintLine(text);
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
    const int body = layout_->BodyFont;
    if (systemPrinterMode_) {
        if (red) {
            page_.SetColour(255, 0, 0);
        }
        Emit(text, body);
        if (red) {
            page_.SetColour(0, 0, 0);
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
        Emit(text, layout_->BodyFont);
        return;
    }
    ctx_.ticket.RTF += text + kLineBreak;
    ctx_.ticket.List3.push_back(text + kLineBreak);
    ctx_.ticket.List4.push_back(ctx_.codes.DirectFontCode(layout_->BodyFont) + text + kLineBreak);
}

void KitchenTicketComposer::EmitSkipLine() {
    if (systemPrinterMode_) {
        Emit("", layout_->BodyFont);
        return;
    }
    ctx_.ticket.RTF += kLineBreak;
    ctx_.ticket.List3.push_back(kLineBreak);
    ctx_.ticket.List4.push_back(kLineBreak);
}

void KitchenTicketComposer::EmitReprintLabel() {
    // Centred like the divert banner, on the line after the header.
    if (systemPrinterMode_) {
        Emit(kReprintLabel, layout_->BodyFont);
        return;
    }
    const std::string line = ReprintLabelLine(printingType_, ctx_.codes);
    ctx_.ticket.RTF += line;
    ctx_.ticket.List3.push_back(line);
    ctx_.ticket.List4.push_back(line);
}

void KitchenTicketComposer::EmitClientBlock() {
    bool emitted = false;
    for (Column column : {kClientCode, kClientName, kBillRef1, kBillRef2, kBillRef3}) {
        const std::string value = Text(column);
        if (CharCount(value) > 0) {
            Emit("> " + value, 2);
            emitted = true;
        }
    }
    if (emitted) {
        Emit(kLineBreak, 2);
    }
}

void KitchenTicketComposer::EmitItem() {
    const std::size_t linesBefore = LinesSoFar();
    const int body = layout_->BodyFont;
    const int format = layout_->Format;
    if (systemPrinterMode_) {
        page_.SetFontName(ctx_.device.PrinterFont(body));
    }
    const bool takeAway = Text(kServiceType) == "T";
    const std::string plu = Text(kPluCode);
    const std::string quantity = Text(kQuantity);
    const std::string description = LayoutColumn(0).Or("");

    int indent = 3;
    if (format == 1) {
        indent = 5;
        if (!Field(kPluCode).IsNull()) {
            Emit(Spaces(5) + plu, body);
            Emit(Spaces(5) + std::string(DisplayWidth(plu) + 1, '-'), body);
        }
    }
    if (format == 4) {
        const long quantityGap = 3 - static_cast<long>(DisplayWidth(LeftChars(quantity, 3)));
        const long pluGap = 10 - static_cast<long>(DisplayWidth(LeftChars(plu, 10)));
        Emit(Trim(quantity) + Spaces(quantityGap) + Trim(plu) + Spaces(pluGap) + description, body);
        indent = 13;
    }
    if (format >= 1 && format <= 3) {
        const std::string shown = Trim(LeftChars(quantity, 3));
        Emit(shown + Spaces(indent - static_cast<long>(DisplayWidth(shown))) + description, body);
    }

    // Format 4 repeats the description under the item unless the first
    // extra description column gives a value of its own.
    for (int k = 1; k <= 3; ++k) {
        std::string line = (format == 4 && k == 1) ? description : std::string();
        const Value value = LayoutColumn(k);
        if (!value.IsNull()) {
            line = value.AsText();
        }
        if (!line.empty()) {
            Emit(Spaces(indent) + line, body);
        }
    }

    if (takeAway && !Text(kServiceName).empty()) {
        EmitServiceLine(Text(kServiceName));
    }
    if (!Field(kAgentName).IsNull()) {
        EmitColoured("^ " + Text(kAgentName), false);
    }
    for (Column remark : {kRemark1, kRemark2, kRemark3, kRemark4, kRemark5}) {
        const std::string text = Text(remark);
        if (!text.empty()) {
            EmitColoured(Spaces(indent) + "* " + text, true);
        }
    }
    for (Column column : {kVoidRemark, kRePrintRemark}) {
        if (!Text(column).empty()) {
            EmitColoured("* " + Text(column), true);
        }
    }
    for (Column column : {kKitStatus, kKitReference}) {
        if (!Text(column).empty()) {
            EmitColoured("* " + Text(column), false);
        }
    }
    // The blank line is no line of the item's own.
    itemLines_ += static_cast<int>(LinesSoFar() - linesBefore);
    if (layout_->Skipline) {
        EmitSkipLine();
    }

    // Marked printed by the sending step once the printer has taken the ticket.
    ctx_.ticket.List1.push_back(std::to_string(*ExactInteger(Field(kId))));
    ctx_.ticket.List2.push_back(Field(kTrsId).AsText());
}

}  // namespace kps
