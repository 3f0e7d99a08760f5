#include "app/ServerStatusActions.h"

#include "sending/PrinterResume.h"
#include "status/StatusWords.h"

namespace kps {

namespace {

std::string Verb(const StatusAction& action) {
    switch (action.kind) {
        case StatusActionKind::Resume:
            return "Resume";
        case StatusActionKind::Reprint:
            return "Reprint ticket " + std::to_string(action.n) + " of";
        case StatusActionKind::TestPrint:
            return "Test print on";
        case StatusActionKind::Answer:
            return "Answer the divert question of";
    }
    return {};
}

}  // namespace

StatusActionOutcome ServerStatusActions::Run(const StatusAction& action) {
    parts_.log.WriteLog("Status page: " + Verb(action) + " '" + action.device + "' from " +
                        action.client);
    const bool prints =
        action.kind == StatusActionKind::Reprint || action.kind == StatusActionKind::TestPrint;
    if (prints && parts_.states.Standby()) {
        return {false, "This server is on standby: another server prints for this outlet"};
    }
    switch (action.kind) {
        case StatusActionKind::Resume:
            return ResumePrinter(parts_.divert, parts_.states, action.device)
                       ? StatusActionOutcome{true, "'" + action.device + "' prints again"}
                       : StatusActionOutcome{false, "'" + action.device + "' is not suspended"};
        case StatusActionKind::Reprint:
            return Reprint(action);
        case StatusActionKind::TestPrint:
            return parts_.reprinter.TestPrint(action.device, parts_.clock.Now())
                       ? StatusActionOutcome{true, "A test ticket is on its way to '" +
                                                       action.device + "'"}
                       : StatusActionOutcome{
                             false, "'" + action.device + "' is no network or direct-port printer"};
        case StatusActionKind::Answer:
            return Answer(action);
    }
    return {};
}

StatusActionOutcome ServerStatusActions::Reprint(const StatusAction& action) {
    // Tickets printed since the page was made moved the one it showed down
    // the list: its number now is the one to reprint.
    std::optional<int> n = action.n;
    if (!action.ticket.empty()) {
        const auto kept = parts_.reprints.Everything();
        const auto device = kept.find(action.device);
        n = device == kept.end() ? std::nullopt : KeptTicketNumber(device->second, action.ticket);
    }
    if (!n) {
        return {false, "That ticket of '" + action.device + "' is no longer kept"};
    }
    return parts_.reprinter.Reprint(action.device, *n)
               ? StatusActionOutcome{true, "The ticket is on its way to '" + action.device + "'"}
               : StatusActionOutcome{false, "'" + action.device + "' cannot reprint it"};
}

StatusActionOutcome ServerStatusActions::Answer(const StatusAction& action) {
    TRDIVET& dialog = parts_.dialog;
    // Only the question the window shows can be answered, as its buttons
    // would; one that ended meanwhile is not.
    if (dialog.Closed || dialog.OriPrinter != action.device || !dialog.Command1Enabled) {
        return {false, "No divert question about '" + action.device + "' waits for an answer"};
    }
    if (action.answer == QuestionAnswer::Cancel) {
        dialog.Command2();
        return {true, "Printing on '" + action.device + "' is cancelled"};
    }
    if (dialog.OPrinterName.empty()) {
        return {false, "'" + action.device + "' has no divert printer"};
    }
    dialog.ForEveryTicket = action.answer == QuestionAnswer::EveryTicket;
    dialog.Command1();
    return {true, "The ticket is on its way to '" + dialog.OPrinterName + "'"};
}

}  // namespace kps
