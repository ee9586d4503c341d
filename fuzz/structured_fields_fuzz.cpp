// Any bytes as a field value: the Dictionary parser must not fault, must keep to its bounds,
// and what it accepts must hold only well-formed keys; reading preferences from it must
// never fault either.
#include <cstdint>
#include <string_view>

#include "common/structured_fields.h"
#include "fuzz_check.h"
#include "scan/usage_preferences.h"

namespace {

bool ValidKey(std::string_view key) {
    if (key.empty() || !((key[0] >= 'a' && key[0] <= 'z') || key[0] == '*')) {
        return false;
    }
    for (const char c : key) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                        c == '.' || c == '*';
        if (!ok) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto dictionary = bcnk::ParseSfDictionary(input);
    if (dictionary) {
        FUZZ_CHECK(size <= bcnk::kSfMaxInputBytes);
        FUZZ_CHECK(dictionary->size() <= bcnk::kSfMaxMembers);
        for (const bcnk::SfMember& member : *dictionary) {
            FUZZ_CHECK(ValidKey(member.key));
            FUZZ_CHECK(member.isInnerList || member.items.size() == 1);
            FUZZ_CHECK(member.items.size() <= bcnk::kSfMaxInnerListItems);
            FUZZ_CHECK(member.parameters.size() <= bcnk::kSfMaxParameters);
            for (const bcnk::SfItem& item : member.items) {
                FUZZ_CHECK(item.parameters.size() <= bcnk::kSfMaxParameters);
                for (const bcnk::SfParameter& parameter : item.parameters) {
                    FUZZ_CHECK(ValidKey(parameter.key));
                }
            }
        }
    }
    bool readable = false;
    bcnk::ReadContentUsage(input, &readable);
    FUZZ_CHECK(readable == dictionary.has_value());
    bcnk::ReadContentSignal(input);
    return 0;
}
