#pragma once

#include <QDialog>

#include "dialogs/DivertDialogHost.h"
#include "dialogs/DivertDialogView.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kps {

class TRDIVET;

// The divert and retry dialog on screen, above all other windows but
// holding nothing up: the other printers print while it waits. It
// shows the dialog's state and hands each click to its logic; the three
// printer fields are editable and read back at every button press.
class DivertDialogQt final : public QDialog, public DivertDialogHost, public DivertDialogView {
    Q_OBJECT

  public:
    explicit DivertDialogQt(QWidget* parent = nullptr);

    void Show(TRDIVET& dialog) override;
    bool KeepAsking(TRDIVET& dialog) override;
    void Hide(TRDIVET& dialog) override;
    int SetWindowTopmost(bool topmost) override;
    void Repaint() override;

    QLabel* Label1() const { return label1_; }
    QPushButton* Command1() const { return command1_; }
    QPushButton* Command2() const { return command2_; }
    QLabel* Image1() const { return image1_; }
    QLineEdit* OPrinterName() const { return oPrinterName_; }
    QLineEdit* OIPAddress() const { return oIPAddress_; }
    QLineEdit* OriPrinter() const { return oriPrinter_; }
    QCheckBox* ForEveryTicket() const { return forEveryTicket_; }

  protected:
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <typename Handler>
    void Run(Handler handler);
    void ReadFields();

    TRDIVET* dialog_ = nullptr;
    QLabel* label1_;
    QPushButton* command1_;
    QPushButton* command2_;
    QLabel* image1_;
    QLineEdit* oPrinterName_;
    QLineEdit* oIPAddress_;
    QLineEdit* oriPrinter_;
    QCheckBox* forEveryTicket_;
};

}  // namespace kps
