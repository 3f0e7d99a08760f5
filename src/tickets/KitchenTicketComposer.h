#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "database/Recordset.h"
#include "output/SystemPrinterPage.h"
#include "sending/PrintContext.h"
#include "sending/TicketSender.h"
#include "tickets/LayoutFile.h"
#include "tickets/LayoutFileCache.h"

namespace kps {

// Builds one kitchen ticket: the waiting items of one ticket key and printer
// group, laid out for one device by its layout file, into the ticket buffers
// (or straight onto the system printer), then hands it to the sending step.
class KitchenTicketComposer {
  public:
    KitchenTicketComposer(PrintContext& ctx, TicketSender& sender);

    // `ticketKeyColumn` is "ItemCode" or "TableCode", `ticketKeyValue` its
    // value (Null finds the items whose key is Null). Nothing is printed,
    // collected or sent when no item is waiting, or when the layout file
    // cannot be read or gives no line for any item ("Error Layout File",
    // once until it is mended). Items that may already be on paper (the
    // reprint journal, a take-over) come out first as a ticket of their own
    // labelled "*** REPRINT ***". The items' IDs are collected in List1/List2
    // for every printing type: the sending step marks them printed once the
    // printer has the ticket.
    void ComposeKitchenTicket(const std::string& deviceName, const std::string& printingType,
                              const std::string& printerGroupCode, const Value& ticketKeyValue,
                              int optionPrinter1, const std::string& layoutFile,
                              const std::string& ticketKeyColumn);

  private:
    // The ticket query's columns, looked up once per statement.
    enum Column {
        kId,
        kTrsId,
        kBillNo,
        kTableCode,
        kPaxNo,
        kStaffName,
        kServiceType,
        kServiceName,
        kPluCode,
        kQuantity,
        kAgentName,
        kRemark1,
        kRemark2,
        kRemark3,
        kRemark4,
        kRemark5,
        kVoidRemark,
        kRePrintRemark,
        kKitStatus,
        kKitReference,
        kClientCode,
        kClientName,
        kBillRef1,
        kBillRef2,
        kBillRef3,
        kColumnCount
    };
    struct TicketQuery {
        std::unique_ptr<Recordset> rows;
        std::array<std::size_t, kColumnCount> at{};
        bool resolved = false;
    };

    TicketQuery& Query(const std::string& ticketKeyColumn, bool keyIsNull);
    // Composes and hands over the ticket of the query's rows that are not
    // held and are (or are not) possible second copies. False when the
    // layout gave no line for any item.
    bool ComposeTicket(bool reprints, const std::string& deviceName, int optionPrinter1);
    bool Wanted(bool reprints);
    void ReportLayout(const std::string& layoutFile, bool broken);

    const Value& Field(Column column) const { return rows_->At(query_->at[column]); }
    std::string Text(Column column) const { return Field(column).Or(""); }
    std::optional<std::size_t> FindColumnOf(const std::string& column) const;
    // The description column of layout key k (0: PosDescriptionLine, 1..3:
    // PosDescriptionLine1..3) in the current row.
    Value LayoutColumn(int key) const;

    // One ticket line in a font slot.
    void Emit(const std::string& text, int slot);
    // A HEADER or FOOTER line, expanded.
    void EmitLayoutLine(const std::string& line);
    // A note line in the note colour; `red` on a system printer.
    void EmitColoured(const std::string& text, bool red);
    void EmitServiceLine(const std::string& serviceName);
    void EmitSkipLine();
    void EmitReprintLabel();
    void EmitClientBlock();
    void EmitItem();
    // Ticket lines composed so far, on either kind of printer.
    std::size_t LinesSoFar() const;

    PrintContext& ctx_;
    TicketSender& sender_;
    LayoutFileCache layouts_;
    std::map<std::string, TicketQuery> queries_;
    std::set<std::string> brokenLayouts_;
    std::set<std::string> badIds_;  // rows already logged as having no exact ID
    const LayoutFile* layout_ = nullptr;
    TicketQuery* query_ = nullptr;
    Recordset* rows_ = nullptr;
    std::string device_;  // the device the ticket is composed for
    std::string printingType_;
    bool systemPrinterMode_ = false;
    SystemPrinterPage page_;  // a system printer's lines, printed only for a ticket with items
    int itemLines_ = 0;
    std::array<std::optional<std::size_t>, 4> descriptionColumns_;
};

}  // namespace kps
