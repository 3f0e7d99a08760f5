#pragma once

#include <gtest/gtest.h>

#include <string>

#include "dialogs/DivertDialogHost.h"
#include "dialogs/DivertDialogView.h"
#include "dialogs/TRDIVET.h"
#include "support/Fakes.h"
#include "support/RecordingDivertAnswers.h"
#include "support/TempFolder.h"

namespace kps::test {

// Shows the dialog as a window would, keeping it open after a failed divert,
// and records whether the buttons were ever off while it repainted.
class RecordingDivertView final : public DivertDialogHost, public DivertDialogView {
  public:
    void Show(TRDIVET& dialog) override;
    bool KeepAsking(TRDIVET&) override { return true; }
    void Hide(TRDIVET&) override { ++hidden; }
    int SetWindowTopmost(bool topmost) override { return topmost ? 1 : 0; }
    void Repaint() override;

    bool sawButtonsDisabled = false;
    int hidden = 0;

  private:
    const TRDIVET* dialog_ = nullptr;
};

// The divert dialog asked about printer K1, whose divert printer K2 is at
// 127.0.0.2; the answers are recorded.
class DivertDialogFixture : public ::testing::Test {
  protected:
    DivertDialogFixture();

    // Asks question `id` about K1.
    void Ask(unsigned long id = 1);
    std::string LogText() const;

    TempFolder folder;
    FakeClock clock;
    PrintLog log;
    FakeOperator op;
    RecordingDivertAnswers answers;
    RecordingDivertView view;
    TRDIVET dialog{answers, view, log, op};
};

}  // namespace kps::test
