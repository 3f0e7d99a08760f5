#pragma once

#include <string>

namespace kps {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// The person at the machine: message boxes in the window, lines on standard
// error (with the default answer) when the server runs headless.
class Operator {
  public:
    virtual ~Operator() = default;

    virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                      MessageIcon icon, MessageButtons buttons) = 0;

    // A message with only an OK button that must not hold anything up: the
    // printers go on printing while it is shown.
    virtual void Notify(const std::string& text, const std::string& caption, MessageIcon icon) {
        ShowMessage(text, caption, icon, MessageButtons::Ok);
    }

    // The common error report of a routine that traps its own errors: the
    // window or module, the error's number and description, the routine.
    // Like Notify, it holds nothing up.
    virtual void ShowErrorReport(const std::string& where, long number,
                                 const std::string& description, const std::string& routine) = 0;

    // The fatal error report: an error reached the top of an event and the
    // process ends. A message box with the error's number and description.
    virtual void ShowFatalError(long number, const std::string& description);

    // Once the settings are known: the print log of `drivePath` that fatal
    // errors are also recorded in, for an operator who is not there to see
    // them. Nothing by default.
    virtual void KeepFatalErrorsIn(const std::string& /*drivePath*/, int /*codePage*/) {}
};

// The text of the fatal error report.
std::string FatalErrorText(long number, const std::string& description);

// The fatal error report: an error reached the top of an event.
void ShowFatalErrorReport(Operator& op, long number, const std::string& description);

}  // namespace kps
