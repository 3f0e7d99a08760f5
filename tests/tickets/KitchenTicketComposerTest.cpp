#include "support/KitchenTicketFixture.h"

#include "text/KpsError.h"
#include "text/Text.h"

namespace kps::test {
namespace {

const std::string kCrLf = "\r\n";

// The layout text of a BODY section and the other sections as given.
std::string Layout(const std::string& body, const std::string& rest = "",
                   const std::string& rowPerLine = "40") {
    return "[BODY]\r\n" + body +
           "PosDescriptionLine=PosDescription\r\n[GENERAL]\r\nRowPerLine=" + rowPerLine + "\r\n" +
           rest;
}

class KitchenTicketComposerTest : public KitchenTicketFixture {
  protected:
    KitchenTicketComposerTest() {
        AddGroup("G1", "O");
        AddGroup("G2", "O");
        AddItem("BURG", "G1");
        AddItem("FRY", "G1");
        AddItem("SOUP", "G2");
    }

    // List3 entries of slot `slot` without their code and line break.
    std::vector<std::string> Lines(int slot = 1) const {
        std::vector<std::string> out;
        const std::string& code = codes.FontCode(slot);
        for (const auto& entry : ticket.List3) {
            const bool framed = entry.rfind(code, 0) == 0 && entry.size() >= code.size() + 2 &&
                                entry.substr(entry.size() - 2) == kCrLf;
            EXPECT_TRUE(framed) << entry;
            out.push_back(framed ? entry.substr(code.size(), entry.size() - code.size() - 2)
                                 : entry);
        }
        return out;
    }

    void AddTwoItems() {
        AddWaiting(1, "T5", "BURG", {{"PluCode", "'ABC'"}, {"PosDescription1", "'no bun'"}});
        AddWaiting(2, "T5", "FRY", {{"Quantity", "1"}, {"PosDescription", "'Fries'"}});
        AddWaiting(3, "T5", "SOUP");  // another printer group
        AddWaiting(4, "T6", "BURG");  // another table
    }

    std::string PlainLayout() { return WriteLayout("Plain.ini", Layout("Format=2\r\n")); }

    std::vector<std::string> ComposeFormat(const std::string& format) {
        const std::string file = WriteLayout(
            "F" + format + ".ini",
            Layout("Font=1\r\nFormat=" + format + "\r\nPosDescriptionLine1=PosDescription1\r\n"));
        Compose("O", file);
        return Lines();
    }
};

TEST_F(KitchenTicketComposerTest, ItemLineFollowsTheFormat) {
    AddTwoItems();
    using Lines = std::vector<std::string>;
    EXPECT_EQ(ComposeFormat("1"),
              (Lines{"     ABC", "     ----", "2    Burger", "     no bun", "1    Fries"}));
    const Lines format2 = {"2  Burger", "   no bun", "1  Fries"};
    EXPECT_EQ(ComposeFormat("2"), format2);
    EXPECT_EQ(ComposeFormat("3"), format2);
    EXPECT_EQ(ComposeFormat("4"), (Lines{"2  ABC       Burger", std::string(13, ' ') + "no bun",
                                         "1            Fries", std::string(13, ' ') + "Fries"}));
    EXPECT_EQ(ComposeFormat("0"), (Lines{"   no bun"}));
    EXPECT_EQ(ComposeFormat("junk"), (Lines{"   no bun"}));
    EXPECT_EQ(sender.sent.size(), 6u);
}

TEST_F(KitchenTicketComposerTest, WideCodesAndQuantitiesArePaddedByTheirColumns) {
    AddWaiting(1, "T5", "BURG", {{"PluCode", "'麻婆'"}, {"PosDescription", "'Tofu'"}});
    using Lines = std::vector<std::string>;
    EXPECT_EQ(ComposeFormat("4"), (Lines{"2  麻婆      Tofu", std::string(13, ' ') + "Tofu"}));
    EXPECT_EQ(ComposeFormat("1"), (Lines{"     麻婆", "     -----", "2    Tofu"}));
}

TEST_F(KitchenTicketComposerTest, HeaderFooterAndClientBlockInEveryBuffer) {
    AddWaiting(1, "T5", "BURG",
               {{"ClientCode", "'C9'"},
                {"ClientName", "'Mr Smith'"},
                {"BillRef1", "''"},
                {"BillRef3", "'Ref3'"},
                {"StaffName", "'Alexandra Konstantinopoulou'"}});
    const std::string file = WriteLayout(
        "HF.ini", Layout("Font=1\r\nFormat=2\r\n",
                         "[HEADER]\r\nL1=0C4=KITCHEN\r\nL2=X\r\nL3=1L2=Table: [VarTableNo]\r\n"
                         "L4=2L1=No [VarTicketNo] /Pax [VarPax]\r\nL5=1R1=[DefUserName]\r\n"
                         "[FOOTER]\r\nL1=1L1=[PR_DefPrinterName]\r\nL2=X\r\n",
                         "32"));
    Compose("O", file);

    const std::string f1 = codes.FontCode1, f2 = codes.FontCode2, f4 = codes.FontCode4;
    const std::string centre = codes.CodeCentre;
    const std::string staff = "Alexandra Konstantin";  // its first 20 characters
    EXPECT_EQ(ticket.Header.StaffName, staff);
    EXPECT_EQ(ticket.List3, (std::vector<std::string>{
                                f2 + "> C9" + kCrLf, f2 + "> Mr Smith" + kCrLf,
                                f2 + "> Ref3" + kCrLf, f2 + kCrLf + kCrLf,
                                centre + f4 + "KITCHEN" + kCrLf, centre + f2 + "Table: T5" + kCrLf,
                                centre + f1 + "No 123 Pax 4" + kCrLf, centre + f1 + staff + kCrLf,
                                f1 + "2  Burger" + kCrLf, centre + f1 + "KITCHEN1" + kCrLf}));
    // A reprint's label goes after the client block and the header.
    EXPECT_EQ(ticket.HeaderEnd, 8u);
    // RTF keeps the aligned line; List4 carries the ESC/POS codes.
    EXPECT_EQ(ticket.RTF, f2 + "> C9" + kCrLf + f2 + "> Mr Smith" + kCrLf + f2 + "> Ref3" + kCrLf +
                              f2 + kCrLf + kCrLf + f4 + std::string(6, ' ') + "KITCHEN" + kCrLf +
                              f2 + "Table: T5" + kCrLf + f1 + "No 123 Pax 4" + kCrLf + f1 +
                              std::string(12, ' ') + staff + kCrLf + f1 + "2  Burger" + kCrLf + f1 +
                              "KITCHEN1" + kCrLf);
    ASSERT_EQ(ticket.List4.size(), ticket.List3.size());
    EXPECT_EQ(ticket.List4[4], codes.DirectFontCode4 + "KITCHEN" + kCrLf);
    EXPECT_EQ(ticket.List4[8], codes.DirectFontCode1 + "2  Burger" + kCrLf);
    EXPECT_EQ(ticket.RowPerLine, 32);
}

TEST_F(KitchenTicketComposerTest, EmptyClientColumnsGiveNoClientBlock) {
    AddWaiting(1, "T5", "BURG", {{"ClientCode", "''"}, {"BillRef2", "NULL"}});
    Compose("O", PlainLayout());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"2  Burger"}));
}

TEST_F(KitchenTicketComposerTest, ServiceLineNotesInColourAndSkipline) {
    AddWaiting(1, "T5", "BURG",
               {{"ServiceType", "'T'"},
                {"Remark1", "'no onion'"},
                {"Remark2", "''"},
                {"Remark3", "'extra hot'"},
                {"AgentName", "'Bob'"},
                {"VoidRemark", "'VOID'"},
                {"KitStatus", "'RUSH'"},
                {"KitReference", "''"}});
    AddWaiting(2, "T5", "FRY", {{"ServiceType", "'D'"}, {"PosDescription", "'Fries'"}});
    const std::string file =
        WriteLayout("Notes.ini", Layout("Font=3\r\nFormat=2\r\nSkipline=Y\r\n"));
    Compose("O", file);

    const std::string f3 = codes.FontCode3, on = codes.CodeColourOn, off = codes.CodeColourOff;
    auto coloured = [&](const std::string& text) { return on + f3 + text + off + kCrLf; };
    const std::string service = std::string(5, ' ') + "<TakeAway>";
    EXPECT_EQ(ticket.List3,
              (std::vector<std::string>{
                  f3 + "2  Burger" + kCrLf, service + kCrLf, coloured("^ Bob"),
                  coloured("   * no onion"), coloured("   * extra hot"), coloured("* VOID"),
                  coloured("* RUSH"), kCrLf, f3 + "2  Fries" + kCrLf, kCrLf}));
    EXPECT_EQ(ticket.List4[1], codes.DirectFontCode3 + service + kCrLf);
    EXPECT_EQ(ticket.List4[3], codes.DirectFontCode3 + codes.DirectColourOn +
                                   codes.DirectFontCode3 + on + f3 + "   * no onion" + off +
                                   codes.DirectColourOff + kCrLf);
    EXPECT_EQ(ticket.List4[7], kCrLf);
}

TEST_F(KitchenTicketComposerTest, LongServiceNameIsCutToTwenty) {
    database.Exec(
        "UPDATE Kelt_mt_Service SET ServiceName='Take away and delivery' WHERE "
        "ServiceType='T'");
    AddWaiting(1, "T5", "BURG", {{"ServiceType", "'T'"}});
    Compose("O", PlainLayout());
    ASSERT_EQ(ticket.List3.size(), 2u);
    EXPECT_EQ(ticket.List3[1], "<Take away and deliv" + kCrLf);
}

TEST_F(KitchenTicketComposerTest, SystemPrinterGetsEveryLineWithFontAndColour) {
    systemPrinter.names = {"Office", " kitchen laser "};
    device.PrinterFont1 = "F-ONE";
    device.PrinterFont2 = "F-TWO";
    AddWaiting(1, "T5", "BURG", {{"Remark1", "'no onion'"}, {"AgentName", "'Bob'"}});
    ticket.RTF = "old ticket";
    const std::string file =
        WriteLayout("W.ini", Layout("Font=2\r\nFormat=2\r\n", "[HEADER]\r\nL1=0C1=HELLO\r\n"));
    Compose("W", file, "T5", "G1", "Kitchen Laser");

    // Drawn for the sending step; the printer's lane selects and prints it.
    EXPECT_TRUE(systemPrinter.calls.empty());
    std::vector<std::string> page;
    for (const SystemPrinterLine& line : ticket.Page) {
        page.push_back(line.fontName + " " + std::to_string(line.red) + " " + line.text);
    }
    EXPECT_EQ(page, (std::vector<std::string>{"F-ONE 0 " + std::string(18, ' ') + "HELLO",
                                              "F-TWO 0 2  Burger", "F-TWO 0 ^ Bob",
                                              "F-TWO 255    * no onion"}));
    EXPECT_EQ(ticket.OutputMode, "W");
    EXPECT_TRUE(ticket.RTF.empty());
    EXPECT_TRUE(ticket.List3.empty());
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0].printingType, "W");
}

TEST_F(KitchenTicketComposerTest, NothingWaitingChangesNothingButRtf2) {
    AddWaiting(1, "T5", "BURG", {{"PrintStatus", "1"}});
    ticket.RTF = "old";
    ticket.RTF2 = "scratch";
    ticket.List3 = {"old"};
    Compose("O", PlainLayout());
    EXPECT_EQ(ticket.RTF, "old");
    EXPECT_EQ(ticket.List3, std::vector<std::string>{"old"});
    EXPECT_EQ(ticket.RTF2, "");
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(KitchenTicketComposerTest, ItemsOnTheirWayToAPrinterAreLeftOut) {
    AddTwoItems();
    PrintJob held;
    held.itemIds = {"1"};
    records.Compose(held);
    Compose("O", PlainLayout());
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent.back().ids, std::vector<std::string>{"2"});

    held.itemIds = {"2"};
    records.Compose(held);
    Compose("O", PlainLayout());
    EXPECT_EQ(sender.sent.size(), 1u);
}

TEST_F(KitchenTicketComposerTest, CollectsItemsForTheSendingStepWithoutMarkingThem) {
    AddTwoItems();
    const std::string file = PlainLayout();
    for (const std::string type : {"O", "D", "W"}) {
        Compose(type, file);
        ASSERT_EQ(sender.sent.size(), type == "O" ? 1u : type == "D" ? 2u : 3u);
        EXPECT_EQ(sender.sent.back().ids, (std::vector<std::string>{"1", "2"})) << type;
        EXPECT_EQ(sender.sent.back().billIds, (std::vector<std::string>{"101", "102"})) << type;
        EXPECT_EQ(ticket.PrintingType, type);
        EXPECT_EQ(ticket.DeviceName, "KITCHEN1");
        EXPECT_EQ(ticket.OptionPrinter1, 7);
        EXPECT_EQ(ticket.TicketKey, "T5");
    }
    EXPECT_TRUE(db.executed.empty());
    EXPECT_EQ(PrintStatus(1), 0);
    EXPECT_EQ(PrintStatus(2), 0);
}

TEST_F(KitchenTicketComposerTest, KeyValuesWithQuotesAreSafe) {
    AddWaiting(1, "T'5", "BURG");
    Compose("O", PlainLayout(), "T'5");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"2  Burger"}));
    Compose("O", PlainLayout(), "x' or '1'='1");
    EXPECT_EQ(sender.sent.size(), 1u);
}

TEST_F(KitchenTicketComposerTest, UnknownDescriptionColumnPrintsEmpty) {
    AddWaiting(1, "T5", "BURG", {{"PosDescription1", "'no bun'"}});
    const std::string file =
        WriteLayout("Bad.ini",
                    "[BODY]\r\nFormat=2\r\nPosDescriptionLine=NoSuchColumn\r\n"
                    "PosDescriptionLine1=Nope\r\nPosDescriptionLine2=ItemName\r\n");
    Compose("O", file);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"2  ", "   Item BURG"}));
}

TEST_F(KitchenTicketComposerTest, ATicketThatCannotBeComposedIsNeitherSentNorMarked) {
    AddWaiting(1, "T5", "BURG");
    const std::string missing = database.Folder() + "/Missing.ini";
    // A header and the blank line of Skipline are no line of an item's own.
    const std::string noItemLine = WriteLayout(
        "NoLine.ini", "[BODY]\r\nFormat=0\r\nSkipline=Y\r\n[HEADER]\r\nL1=0C1=KITCHEN\r\n");
    for (int tick = 0; tick < 2; ++tick) {
        Compose("D", missing);
        for (const std::string type : {"O", "D", "W"}) {
            Compose(type, noItemLine);
        }
    }
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(PrintStatus(1), 0);
    const std::string logText = LogText();
    for (const std::string& file : {missing, noItemLine}) {
        const std::string line = "Error Layout File '" + file + "'";
        EXPECT_NE(logText.find(line), std::string::npos) << file;
        EXPECT_EQ(logText.find(line), logText.rfind(line)) << "once per outage: " << file;
    }
    // Mended, the ticket prints; broken again, it is logged again.
    WriteLayout("Missing.ini", "[BODY]\r\nFormat=2\r\n");
    Compose("D", missing);
    EXPECT_EQ(sender.sent.size(), 1u);
}

TEST_F(KitchenTicketComposerTest, NullTableIsATicketOfItsOwnAndPossibleCopiesAreLabelled) {
    AddWaiting(1, "T5", "BURG");
    AddWaiting(2, "T5", "FRY", {{"PosDescription", "'Fries'"}});
    AddWaiting(3, "", "BURG", {{"TableCode", "NULL"}});
    records.NoteMayBeOnPaper({"2"});
    composer.ComposeKitchenTicket("KITCHEN1", "O", "G1", Value::Null(), 7, PlainLayout(),
                                  "TableCode");
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0].ids, std::vector<std::string>{"3"});

    Compose("O", PlainLayout());
    ASSERT_EQ(sender.sent.size(), 3u);
    EXPECT_EQ(sender.sent[1].ids, std::vector<std::string>{"2"});
    EXPECT_EQ(sender.sent[1].list3.front(), "\x1b|cA*** REPRINT ***\r\n");
    EXPECT_EQ(sender.sent[2].ids, std::vector<std::string>{"1"});
    for (const auto& line : sender.sent[2].list3) {
        EXPECT_EQ(line.find("REPRINT"), std::string::npos);
    }
    EXPECT_NE(LogText().find("Reprint 'KITCHEN1' items 2"), std::string::npos);
}

TEST_F(KitchenTicketComposerTest, RowsWithoutAnExactIdAreSkippedWithALine) {
    // Another database's ID column may hold what SQLite's key cannot.
    database.Exec("CREATE TABLE loose AS SELECT * FROM kelt_trs_printingdetails");
    database.Exec("DROP TABLE kelt_trs_printingdetails");
    database.Exec("ALTER TABLE loose RENAME TO kelt_trs_printingdetails");
    AddWaiting(100000000001, "T5", "BURG");
    AddWaiting(2, "T5", "BURG");
    database.Exec("UPDATE kelt_trs_printingdetails SET ID=2.5 WHERE ID=2");
    Compose("O", PlainLayout());
    Compose("O", PlainLayout());
    ASSERT_EQ(sender.sent.size(), 2u);
    EXPECT_EQ(sender.sent[0].ids, std::vector<std::string>{"100000000001"});
    const std::string logText = LogText();
    const std::string line = "Item ID '2.5' is not a whole number";
    EXPECT_NE(logText.find(line), std::string::npos);
    EXPECT_EQ(logText.find(line), logText.rfind(line));
}

}  // namespace
}  // namespace kps::test
