#include "text/KpsError.h"

namespace kps {

KpsError::KpsError(long number, const std::string& description)
    : std::runtime_error(std::to_string(number) + " - " + description),
      number_(number),
      description_(description) {}

}  // namespace kps
