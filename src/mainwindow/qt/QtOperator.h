#pragma once

#include "startup/Operator.h"

class QWidget;

namespace kps {

// The operator at the screen: questions and start-up messages are modal to
// the whole program; notices and error reports stay open beside the running
// server until the operator closes them.
class QtOperator final : public Operator {
  public:
    explicit QtOperator(QWidget* parent = nullptr) : parent_(parent) {}

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override;
    void Notify(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void ShowErrorReport(const std::string& where, long number, const std::string& description,
                         const std::string& routine) override;

  private:
    QWidget* parent_;
};

}  // namespace kps
