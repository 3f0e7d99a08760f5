#pragma once

#include "dialogs/DivertDialogHost.h"
#include "dialogs/DivertDialogView.h"

namespace kps {

// The divert dialog's answer when nobody is at the machine: the ticket, and
// every later one of its printer until that prints again, goes to the
// divert printer. A ticket with no divert printer, or one the divert printer
// did not take either, goes to the next device of its group or waits;
// nothing is cancelled without a person.
class HeadlessDivertPolicy final : public DivertDialogHost, private DivertDialogView {
  public:
    void Show(TRDIVET& dialog) override;
    bool KeepAsking(TRDIVET&) override { return false; }
    void Hide(TRDIVET&) override {}

  private:
    int SetWindowTopmost(bool topmost) override;
    void Repaint() override {}
};

}  // namespace kps
