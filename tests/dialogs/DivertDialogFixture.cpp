#include "DivertDialogFixture.h"

#include "support/FileBytes.h"

namespace kps::test {

void RecordingDivertView::Show(TRDIVET& dialog) {
    dialog_ = &dialog;
    dialog.Open(*this);
}

void RecordingDivertView::Repaint() {
    if (dialog_ != nullptr && !dialog_->Command1Enabled && !dialog_->Command2Enabled) {
        sawButtonsDisabled = true;
    }
}

DivertDialogFixture::DivertDialogFixture() : log(folder.Path(), clock) {
    answers.host = &dialog;
}

void DivertDialogFixture::Ask(unsigned long id) {
    dialog.Ask({id, "K1", "K2", "127.0.0.2", " Error Sending item to Printer 'K1'"});
}

std::string DivertDialogFixture::LogText() const {
    return ReadBytes(log.TodayFile());
}

}  // namespace kps::test
