#pragma once
// RFC 9651 structured field values, Dictionaries only: the form usage preferences come in
// (the Content-Usage header and robots.txt lines). Strict as the RFC asks: anything it says to
// fail on fails the whole value, which callers then read as "no preference stated".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bcnk {

enum class SfType : std::uint8_t {
    Integer,
    Decimal,
    String,
    Token,
    ByteSequence,
    Boolean,
    Date,
    DisplayString,
};

struct SfBareItem {
    SfType type = SfType::Boolean;
    // Integer and Date as written; Decimal in thousandths; Boolean 0 or 1.
    std::int64_t number = 1;
    // String and Token as written (escapes undone), DisplayString as UTF-8, ByteSequence as
    // the decoded bytes.
    std::string text;

    bool operator==(const SfBareItem&) const = default;
};

struct SfParameter {
    std::string key;
    SfBareItem value;

    bool operator==(const SfParameter&) const = default;
};

struct SfItem {
    SfBareItem value;
    std::vector<SfParameter> parameters;  // a repeated key keeps its first place, last value

    bool operator==(const SfItem&) const = default;
};

struct SfMember {
    std::string key;
    bool isInnerList = false;
    std::vector<SfItem> items;             // exactly one unless isInnerList
    std::vector<SfParameter> parameters;   // the inner list's own; an item keeps its in items

    bool operator==(const SfMember&) const = default;
};

// Members in order; a repeated key keeps the place it first had and the value it last had.
using SfDictionary = std::vector<SfMember>;

// Bounds on what one value may make us build. The RFC asks parsers to take at least 1024
// dictionary members and 256 inner-list members and parameters; a value beyond these fails.
inline constexpr std::size_t kSfMaxInputBytes = 64 * 1024;
inline constexpr std::size_t kSfMaxMembers = 1024;
inline constexpr std::size_t kSfMaxInnerListItems = 256;
inline constexpr std::size_t kSfMaxParameters = 256;

// The dictionary a field value (several field lines joined with ", ") holds, or nothing when
// it does not parse. An empty value is an empty dictionary.
std::optional<SfDictionary> ParseSfDictionary(std::string_view fieldValue);

// The member named key, or null.
const SfMember* FindSfMember(const SfDictionary& dictionary, std::string_view key);

}  // namespace bcnk
