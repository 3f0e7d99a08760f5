#include "support/RecordingDivertAnswers.h"

namespace kps::test {

void RecordingDivertAnswers::Divert(unsigned long question, const std::string& device,
                                    const std::string& address, bool forEveryTicket) {
    calls.push_back("Divert " + std::to_string(question) + " " + device + " " + address +
                    (forEveryTicket ? " every" : ""));
}

void RecordingDivertAnswers::Cancel(unsigned long question, const std::string& printer) {
    Ended(question, "Cancel " + std::to_string(question) + " " + printer);
}

void RecordingDivertAnswers::GiveUp(unsigned long question) {
    Ended(question, "GiveUp " + std::to_string(question));
}

void RecordingDivertAnswers::Close(unsigned long question) {
    Ended(question, "Close " + std::to_string(question));
}

void RecordingDivertAnswers::Ended(unsigned long question, const std::string& call) {
    calls.push_back(call);
    if (host != nullptr) {
        host->End(question);
    }
}

}  // namespace kps::test
