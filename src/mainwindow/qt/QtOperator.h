#pragma once

#include "startup/Operator.h"

class QWidget;

namespace kps {

// The operator at the screen: message boxes, modal to the whole program.
class QtOperator final : public Operator {
  public:
    explicit QtOperator(QWidget* parent = nullptr) : parent_(parent) {}

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override;
    void ShowErrorReport(const std::string& where, long number, const std::string& description,
                         const std::string& routine) override;

  private:
    QWidget* parent_;
};

}  // namespace kps
