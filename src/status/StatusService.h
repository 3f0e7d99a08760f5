#pragma once

#include <memory>
#include <string>

#include "mainwindow/TickObserver.h"
#include "startup/PrintLog.h"
#include "status/AlertCommand.h"
#include "status/HttpStatusServer.h"
#include "status/PrinterAlerts.h"
#include "status/StatusActions.h"
#include "status/StatusBoard.h"
#include "status/StatusCollector.h"

namespace kps {

// The web status page of a running server: the snapshots the ticks take,
// the actions the page asks for, run at the start of the next tick, and the
// HTTP server that shows them at `address` ([PrintServer] StatusAddress;
// empty: none). Actions need the token kept in `stateFolder`; when it
// cannot be kept there the page only shows. The same snapshots raise the
// alerts (sources.alertAfter), page or not.
class StatusService final : public TickObserver {
  public:
    struct Options {
        std::string address;
        std::string stateFolder;
        bool answersQuestions = false;  // the window build asks divert questions
        std::string alertCommand;       // [PrintServer] AlertCommand
    };

    StatusService(const StatusSources& sources, const Options& options, const PrintLog& log);
    // Waiting and later requests are refused at once rather than left to
    // wait for a tick that will not come.
    ~StatusService() override;

    // Carries out the page's actions; until set, they wait.
    void SetActionHandler(StatusActionHandler* handler) { handler_ = handler; }
    // The ticks have ended: the page's actions are refused from now on.
    void StopActing() { desk_.Close(); }

    // What the form tells of its ticks; null when no page is served.
    TickObserver* Observer();
    // The port the page is served on; 0 when it is not.
    int Port() const { return server_ ? server_->Port() : 0; }

    void TickStarted() override;
    void TickEnded(bool passRan) override;

  private:
    void RaiseAlerts();

    const PrintLog& log_;
    bool alerting_;
    StatusBoard board_;
    StatusCollector collector_;
    StatusActionDesk desk_;
    std::unique_ptr<ActionDoor> door_;
    StatusActionHandler* handler_ = nullptr;
    PrinterAlerts alerts_;
    AlertCommand alertCommand_;
    std::unique_ptr<HttpStatusServer> server_;  // last: stops before what it serves goes
};

}  // namespace kps
