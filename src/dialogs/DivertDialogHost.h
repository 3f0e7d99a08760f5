#pragma once

namespace kps {

class TRDIVET;

// Shows the divert and retry question: with a window and a person, or
// headless by a fixed policy. Nothing here waits: the question stays open
// while the other printers go on printing.
class DivertDialogHost {
  public:
    virtual ~DivertDialogHost() = default;

    // Opens the dialog (load and activate) and returns at once.
    virtual void Show(TRDIVET& dialog) = 0;

    // The dialog has taken the outcome of a divert print and is still open;
    // false when the host gives the question up (nobody there to answer).
    virtual bool KeepAsking(TRDIVET& dialog) = 0;

    // The question has ended.
    virtual void Hide(TRDIVET& dialog) = 0;
};

}  // namespace kps
