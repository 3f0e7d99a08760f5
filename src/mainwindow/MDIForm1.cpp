#include "mainwindow/MDIForm1.h"

#include "startup/FlagText.h"
#include "text/KpsError.h"
#include "tickets/WaitingItemsPerDevice.h"

namespace kps {

namespace {

constexpr std::size_t kIndividualModeFlag = 74;

// Marks a tick at work for its whole length, even when a pass throws.
class TickScope {
  public:
    explicit TickScope(bool& atWork) : atWork_(atWork) { atWork_ = true; }
    ~TickScope() { atWork_ = false; }
    TickScope(const TickScope&) = delete;
    TickScope& operator=(const TickScope&) = delete;

  private:
    bool& atWork_;
};

}  // namespace

MDIForm1::MDIForm1(Connection& db, const Clock& clock, Operator& op, TicketBuffers& ticket,
                   PollTimer& timer, std::string refOutlet)
    : db_(db),
      clock_(clock),
      operator_(op),
      ticket_(ticket),
      timer_(timer),
      refOutlet_(std::move(refOutlet)) {}

void MDIForm1::Load() {
    deviceList_ = db_.OpenRecordset(
        std::string("Select a.PrinterType as PrintingType,* from kelt_mt_Device as a") +
        " left outer join kelt_mt_printerModel as b on b.printercode=a.printercode" +
        " order by a.Devicecode");
    pendingItemsSql_ =
        std::string("select * from kelt_trs_printingdetails as a") +
        " left outer join mrex_mt_item as b on b.itemcode=a.itemcode" +
        " Left Outer Join Kelt_mt_Service As C On A.ServiceType=C.ServiceType " +
        " left outer join kelt_mt_printergroup as D on D.PrinterGroupCode=b.RefPrinterGroupCode" +
        " WHERE A.PrintStatus=0 order by id";
    // Not run here: the refresh below reads it forward, keeping the grid's rows only.
    pendingItems_ = std::make_unique<Recordset>(db_, pendingItemsSql_, Recordset::Unrun{});
    ticket_.List1.clear();
    ticket_.List2.clear();
    RefreshWaitingGrid();
    individual_ = FlagIsOn(refOutlet_, kIndividualModeFlag);
    pendingNotices_ = db_.OpenRecordset(
        std::string("select * from kelt_trs_printkitchen as a") +
        " left outer join kelt_mt_printergroup as b on b.printergroupcode=a.printergroupcode" +
        " WHERE a.PrintStatus=0");
    closed_ = false;
    closeConfirmed_ = false;
    timer_.Start();
    if (observer_ != nullptr) {
        observer_->CycleChanged();
    }
}

void MDIForm1::PollCycle(PrintPasses& passes) {
    if (tickAtWork_ || closed_ || !timer_.IsActive()) {
        return;
    }
    if (tickObserver_ != nullptr) {
        tickObserver_->TickStarted();
    }
    {
        TickScope scope(tickAtWork_);
        lbltime_ = FormatGeneralDate(clock_.Now());
        ticket_.List1.clear();
        ticket_.List2.clear();
        RefreshWaitingGrid();
        DispatchTrigger(passes);
        NoticeTrigger(passes);
        // After sending: new tickets reach their lanes without waiting for
        // the last ones' markings. What lanes hold or printed unmarked stays
        // held by its record, so it is not composed again meanwhile.
        passes.SettleReports();
    }
    if (tickObserver_ != nullptr) {
        tickObserver_->TickEnded(true);
    }
    if (observer_ != nullptr) {
        observer_->CycleChanged();
        if (closeConfirmed_) {
            observer_->CloseReady();
        }
    }
}

void MDIForm1::KeepTime() {
    if (tickAtWork_ || closed_ || !timer_.IsActive()) {
        return;
    }
    if (tickObserver_ != nullptr) {
        tickObserver_->TickStarted();
    }
    lbltime_ = FormatGeneralDate(clock_.Now());
    if (tickObserver_ != nullptr) {
        tickObserver_->TickEnded(false);
    }
    if (observer_ != nullptr) {
        observer_->CycleChanged();
    }
}

void MDIForm1::RefreshWaitingGrid() {
    Recordset& items = PendingItems();
    // Read forward: the grid's rows are kept, every other row is only counted.
    WaitingItemsPerDevice perDevice(DeviceList());
    items.Requery(perDevice, WaitingGrid::kMaxRows);
    const WaitingItemsRouting& routing = perDevice.Routing();
    grid_.Fill(items, routing.waiting);
    // "0 Item(s)" rather than a blank label: the operator sees the server is alive.
    dis_ = std::to_string(routing.waiting) + " Item(s) waiting to print";
    unroutable_ = routing.unroutable;
    LogUnroutable(routing.unroutableIds);
    if (states_ != nullptr) {
        states_->SetWaitingItems(routing.perDevice);
        states_->SetUnroutable(routing.unroutable);
    }
}

void MDIForm1::LogUnroutable(const std::vector<std::string>& ids) {
    if (log_ == nullptr) {
        return;
    }
    // Only the items still unroutable are remembered, so the set never
    // outgrows the waiting list.
    std::set<std::string> logged;
    for (const auto& id : ids) {
        if (!loggedUnroutable_.contains(id)) {
            log_->WriteLog("Item " + id + " has no printer");
        }
        logged.insert(id);
    }
    loggedUnroutable_ = std::move(logged);
}

void MDIForm1::DispatchTrigger(PrintPasses& passes) {
    if (grid_.RowCount() >= 2) {
        passes.DispatchPrintQueue();
    }
}

void MDIForm1::NoticeTrigger(PrintPasses& passes) {
    passes.PrintKitchenNotices();
}

bool MDIForm1::Unload() {
    if (closed_) {
        return true;
    }
    if (!closeConfirmed_) {
        MessageAnswer answer = operator_.ShowMessage("Shut Down Print Server ?", "Exit",
                                                     MessageIcon::Question, MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes) {
            return false;
        }
        closeConfirmed_ = true;
    }
    // The tick's passes still hold the recordsets; they are closed once it ends.
    if (tickAtWork_) {
        return false;
    }
    CloseRecordsets();
    return true;
}

void MDIForm1::SelectIndividual(bool individual) {
    individual_ = individual;
}

Recordset& MDIForm1::PendingItems() {
    return Opened(pendingItems_);
}

Recordset& MDIForm1::DeviceList() {
    return Opened(deviceList_);
}

Recordset& MDIForm1::PendingNotices() {
    return Opened(pendingNotices_);
}

void MDIForm1::ShowStatus(const std::string& caption) {
    label2_ = caption;
    if (observer_ != nullptr) {
        observer_->StatusChanged();
    }
}

void MDIForm1::CloseRecordsets() {
    timer_.Stop();
    for (auto* recordset : {&deviceList_, &pendingItems_, &pendingNotices_}) {
        if (*recordset) {
            (*recordset)->Close();
        }
    }
    closed_ = true;
}

Recordset& MDIForm1::Opened(const std::unique_ptr<Recordset>& recordset) {
    if (!recordset) {
        throw KpsError(kErrRecordsetClosed, "Operation is not allowed when the object is closed.");
    }
    return *recordset;
}

}  // namespace kps
