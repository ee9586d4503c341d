#pragma once
// Lines a page shows about itself rather than its content: a request to turn scripts on,
// the fields of a template that scripts were to fill in ("{{ price }}"), and the filler
// text of a page builder ("Lorem ipsum", "Your custom text here").
#include <string_view>

namespace bcnk {

// `paragraph`: the text of one paragraph, UTF-8.
bool IsPageNotice(std::string_view paragraph);

}  // namespace bcnk
