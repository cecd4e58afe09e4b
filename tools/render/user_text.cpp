#include "tools/render/user_text.h"

#include <charconv>
#include <cmath>

namespace tarvik::render {

namespace {
template <typename Number>
std::string shortest(Number number) {
    char text[32];
    const auto [end, failure] = std::to_chars(text, text + sizeof text, number);
    return failure == std::errc{} ? std::string(text, end) : std::string();
}

template <typename Number>
bool parseInRange(std::string_view text, Number min, Number max, Number& value, std::string& error) {
    Number parsed{};
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, parsed);
    const bool tooLarge = failure == std::errc::result_out_of_range;
    // from_chars also accepts "inf" and "nan", which no option means.
    if (text.empty() || stop != end || (failure != std::errc{} && !tooLarge) ||
        !std::isfinite(static_cast<double>(parsed))) {
        error = quoted(text) + " is not a number";
        return false;
    }
    if (tooLarge || parsed < min || parsed > max) {
        error = std::string(text) + " is outside " + shortest(min) + " to " + shortest(max);
        return false;
    }
    value = parsed;
    return true;
}
}  // namespace

bool parseNumber(std::string_view text, double min, double max, double& value, std::string& error) {
    return parseInRange(text, min, max, value, error);
}

bool parseInteger(std::string_view text, int min, int max, int& value, std::string& error) {
    return parseInRange(text, min, max, value, error);
}

std::string quoted(std::string_view text) {
    std::string result(1, '\'');
    result += text;
    result += '\'';
    return result;
}

}  // namespace tarvik::render
