#pragma once

#include "dialogs/DivertDialogHost.h"
#include "dialogs/DivertDialogView.h"

namespace kps {

// The divert dialog's answer when nobody is at the machine: one divert
// attempt per held ticket. A ticket the divert printer did not take stays
// waiting for a later pass; nothing is cancelled without a person.
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
