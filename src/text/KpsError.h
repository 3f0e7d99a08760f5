#pragma once

#include <stdexcept>
#include <string>

namespace kps {

// Error numbers the server raises itself; a failure reported by a database
// driver or the system keeps the number the driver or the system gave it.
enum ErrorNumber : long {
    kErrSettings = 1001,
    kErrLeaseLost = 1002,
    kErrDatabaseOpen = 3705,
    kErrStatement = 3704,
    kErrFieldNotFound = 3265,
    kErrNoCurrentRecord = 3021,
    kErrRecordsetClosed = 3219,
    kErrPrinter = 7001,
    kErrFile = 75,
};

// Every error of the server carries a number and a description, so the
// fatal error report can show both.
class KpsError : public std::runtime_error {
  public:
    KpsError(long number, const std::string& description);

    long Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }

  private:
    long number_;
    std::string description_;
};

}  // namespace kps
