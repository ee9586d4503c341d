#pragma once
// Lines that shop and listing templates print as text and that no reader reads: the values
// of the template's own fields, which surface where a theme lays out its data unstyled.
#include <string_view>

namespace bcnk {

// A paragraph that is only the address of a picture or a video file ("https://cdn.example/
// a/tee_thumb.jpg"): a template's field printed as text, never something to read.
bool IsMediaAddressLine(std::string_view paragraph);

}  // namespace bcnk
