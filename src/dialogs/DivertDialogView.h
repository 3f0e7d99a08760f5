#pragma once

namespace kps {

// What the divert dialog's logic asks of whatever shows it.
class DivertDialogView {
  public:
    virtual ~DivertDialogView() = default;

    // Keeps the window above all others (true) or lets it go back (false);
    // returns non-zero when the window system accepted a topmost request, 0
    // after a release.
    virtual int SetWindowTopmost(bool topmost) = 0;

    // Shows the dialog's current state (message, captions, fields, enabled
    // buttons) and paints it at once, so the operator sees it while a print
    // keeps the event loop busy.
    virtual void Repaint() = 0;
};

}  // namespace kps
