#pragma once
// Every named character reference HTML defines, sorted by name (byte order). A name ends in
// ";" except for the legacy ones HTML also reads without it, which appear both ways.
// The table is generated: tools/make-entity-table.
#include <cstddef>
#include <string_view>

namespace bcnk {

struct NamedEntity {
    std::string_view name;  // without the "&"
    char32_t first;
    char32_t second;  // 0 for the names that stand for one character
};

inline constexpr std::size_t kNamedEntityCount = 2231;
// Of a name with its ";"; a legacy name without one is at most six letters.
inline constexpr std::size_t kLongestEntityName = 32;
inline constexpr std::size_t kLongestLegacyName = 6;

extern const NamedEntity kNamedEntities[kNamedEntityCount];

}  // namespace bcnk
