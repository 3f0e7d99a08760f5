#pragma once

#include <string>
#include <string_view>

namespace kps {

// A whole HTML page that reads well on a phone: UTF-8, the viewport set,
// the shared look and `style` of its own. `title` is text (escaped here);
// `body` is markup whose text the caller escaped.
std::string HtmlDocument(std::string_view title, std::string_view style, std::string_view body);

}  // namespace kps
