#pragma once

namespace kps {

class TRDIVET;

// Shows the divert and retry dialog modally: with a window and a person, or
// headless by a fixed policy.
class DivertDialogHost {
  public:
    virtual ~DivertDialogHost() = default;

    // Opens the dialog (load and activate) and returns when it has closed.
    virtual void ShowModal(TRDIVET& dialog) = 0;
};

}  // namespace kps
