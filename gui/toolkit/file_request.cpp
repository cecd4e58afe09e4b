#include "gui/toolkit/file_request.h"

#include "gui/ascii_case.h"

namespace tarvik::gui {

namespace {

bool isSeparator(char c) {
#if defined(_WIN32)
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// Classic wildcard matching with one remembered star: on a mismatch the
// last star swallows one more character and the match resumes after it.
bool matchesPattern(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || toUpperAscii(pattern[p]) == toUpperAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

std::string withDefaultExtension(const std::string& path, std::string_view extension) {
    std::size_t nameStart = path.size();
    while (nameStart > 0 && !isSeparator(path[nameStart - 1])) --nameStart;
    if (extension.empty() || nameStart == path.size()) return path;
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > nameStart) {
        if (dot + 1 < path.size()) return path;  // it has one
        return path + std::string(extension);    // "name." takes it after its own dot
    }
    return path + "." + std::string(extension);
}

bool matchesFilter(std::string_view name, std::string_view patterns) {
    bool any = false;
    while (true) {
        const std::size_t end = patterns.find(';');
        const std::string_view one = trimmed(patterns.substr(0, end));
        if (!one.empty()) {
            any = true;
            if (matchesPattern(name, one)) return true;
        }
        if (end == std::string_view::npos) break;
        patterns.remove_prefix(end + 1);
    }
    return !any;
}

}  // namespace tarvik::gui
