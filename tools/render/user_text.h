// Reading values the user typed, and showing them back in messages.
#pragma once

#include <string>
#include <string_view>

namespace tarvik::render {

// The whole text must be the number, and it must lie in the range the caller
// allows. Failures say why in a few words.
bool parseNumber(std::string_view text, double min, double max, double& value, std::string& error);
bool parseInteger(std::string_view text, int min, int max, int& value, std::string& error);

// The text in single quotes, so that an empty or odd value stands out.
std::string quoted(std::string_view text);

}  // namespace tarvik::render
