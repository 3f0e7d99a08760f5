#pragma once

#include <string>
#include <string_view>

namespace kps {

// Renders the text of PrintNormal for an ESC/POS printer: OPOS escape
// sequences (ESC "|" ... ending in a capital letter) become ESC/POS commands,
// raw ESC/POS commands pass through with their parameters, and text goes out
// in the printer's code page. Alignment chosen for a line ends with that
// line, even when the line arrives in several pieces.
class EscPosTranslator {
  public:
    explicit EscPosTranslator(int codePage);

    // ESC @ and the character table of the code page: what a job begins with.
    std::string JobStart() const;

    std::string Translate(std::string_view utf8);

    // True when the piece last translated cut the paper.
    bool LastCut() const { return lastCut_; }

  private:
    std::string OposSequence(std::string_view body);

    int codePage_;
    bool aligned_ = false;
    bool lastCut_ = false;
};

}  // namespace kps
