#pragma once

#include <string>
#include <vector>

#include "sending/DivertQuestion.h"

namespace kps::test {

// Takes the dialog's answers as the sending step would, recording each as
// "Divert 1 K2 127.0.0.2 [every]", "Cancel 1 K1", "GiveUp 1", "Close 1"; an
// answer other than a divert ends the question on `host`.
class RecordingDivertAnswers final : public DivertAnswers {
  public:
    void Divert(unsigned long question, const std::string& device, const std::string& address,
                bool forEveryTicket) override;
    void Cancel(unsigned long question, const std::string& printer) override;
    void GiveUp(unsigned long question) override;
    void Close(unsigned long question) override;

    DivertQuestionHost* host = nullptr;
    std::vector<std::string> calls;

  private:
    void Ended(unsigned long question, const std::string& call);
};

}  // namespace kps::test
