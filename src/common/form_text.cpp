#include "common/form_text.h"

namespace bcnk {

Text FormFieldText(const Text& typed) {
    // Cutting before trimming matches what the window sees: the edit box hands over only
    // the first characters, and trailing spaces beyond the cut never reach the trim.
    return Trim(typed.substr(0, kFormFieldMaxChars));
}

}  // namespace bcnk
