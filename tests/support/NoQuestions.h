#pragma once

#include "sending/DivertQuestion.h"

namespace kps::test {

// A divert question host for runs whose printers always open or never
// divert: no question is ever asked.
class NoQuestions final : public DivertQuestionHost {
  public:
    void Ask(const DivertQuestion&) override {}
    bool DivertFailed(const DivertQuestion&, const JobReport&) override { return false; }
    void End(unsigned long) override {}
};

}  // namespace kps::test
