#pragma once

#include <memory>
#include <ostream>

#include "startup/Clock.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"

namespace kps {

// The operator of a server without windows: each message becomes one line
// ("caption: text") on the given stream, normally standard error. Nobody is
// there to answer, so a Yes/No question gets No (the server keeps running
// and nothing is given up) unless a stop was requested, in which case it
// gets Yes: the only question that can then come is "Shut Down Print
// Server ?". The fatal error report carries the error priority for the
// journal and goes to the print log as well, once its folder is known.
class HeadlessOperator final : public Operator {
  public:
    explicit HeadlessOperator(std::ostream& err) : err_(err) {}

    // SIGTERM, SIGINT or the last tick: the shut-down question is answered Yes.
    void RequestStop() { stopRequested_ = true; }
    bool StopRequested() const { return stopRequested_; }

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override;
    void ShowErrorReport(const std::string& where, long number, const std::string& description,
                         const std::string& routine) override;
    void ShowFatalError(long number, const std::string& description) override;
    void KeepFatalErrorsIn(const std::string& drivePath, int codePage) override;

  private:
    void WriteLine(const std::string& line);

    std::ostream& err_;
    bool stopRequested_ = false;
    SystemClock clock_;
    std::unique_ptr<PrintLog> fatalLog_;  // without a journal: the line above goes there
};

}  // namespace kps
