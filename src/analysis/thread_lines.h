#pragma once
// Lines that forums print beside each post about its poster rather than the thread.
#include <string_view>

namespace bcnk {

// A poster's tally alone on its line ("Posts: 1,234", "Likes 87", "Reputation: 12k"): what
// the board counts about who wrote, repeated beside every post.
bool IsPosterCountLine(std::string_view paragraph);

}  // namespace bcnk
