#include "tools/skin/plan.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <span>
#include <string_view>

#include "dsp/socket_table.h"
#include "gui/parameter_controls.h"
#include "patch/parameters.h"

namespace tarvik::skin {

namespace {

constexpr int kLabelGap = 4;       // control edge to label
constexpr int kHeadingStrip = 24;  // a section's heading band above its controls
constexpr int kFramePadding = 8;
constexpr int kGutter = 8;
constexpr int kHeadingInset = 12;
constexpr int kHeadingBaseline = 16;  // below the frame's top edge
constexpr double kWrapWidth = 62.0;   // wider labels beside a control take two lines
constexpr int kLinePitch = 10;
constexpr int kLegendSpacing = 40;  // "INPUT" to "OUTPUT", with room for the output sample

// Long words of parameter names and what the panel prints for them.
struct Abbreviation {
    std::string_view from;
    std::string_view to;
};
constexpr Abbreviation kPhrases[] = {{"Pulse Width", "PW"}};
constexpr Abbreviation kWords[] = {{"ENVELOPE", "ENV"},     {"FREQUENCY", "FREQ"}, {"WAVEFORM", "WAVE"},
                                   {"RETRIGGER", "RETRIG"}, {"OUTPUT", "OUT"},     {"NG", "NOISE"}};

std::string upper(std::string_view word) {
    std::string result(word);
    for (char& c : result)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return result;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// "1X2" reads as one times two: print the multiplication sign.
std::string timesSign(std::string word) {
    for (std::size_t i = 1; i + 1 < word.size(); ++i) {
        const bool digitsAround = std::isdigit(static_cast<unsigned char>(word[i - 1])) &&
                                  std::isdigit(static_cast<unsigned char>(word[i + 1]));
        if (word[i] == 'X' && digitsAround) word.replace(i, 1, "\u00d7");
    }
    return word;
}

std::string parameterLabel(std::string_view parameterName, const GroupInfo& group) {
    std::string name(parameterName);
    for (const Abbreviation& phrase : kPhrases) replaceAll(name, phrase.from, phrase.to);
    std::vector<std::string> kept;
    std::size_t start = 0;
    while (start < name.size()) {
        std::size_t end = name.find(' ', start);
        if (end == std::string::npos) end = name.size();
        std::string word = upper(std::string_view(name).substr(start, end - start));
        start = end + 1;
        if (word.empty()) continue;
        if (std::find(group.impliedWords.begin(), group.impliedWords.end(), word) != group.impliedWords.end()) continue;
        for (const Abbreviation& abbreviation : kWords)
            if (word == abbreviation.from) word = abbreviation.to;
        replaceAll(word, "->", "\u2192");
        kept.push_back(timesSign(word));
    }
    if (kept.empty()) return upper(parameterName);
    return std::accumulate(std::next(kept.begin()), kept.end(), kept.front(),
                           [](std::string a, const std::string& b) { return std::move(a) + " " + b; });
}

std::vector<std::string> splitPositions(const char* positions) {
    std::vector<std::string> parts;
    std::string_view rest = positions;
    while (true) {
        const std::size_t bar = rest.find('|');
        parts.emplace_back(rest.substr(0, bar));
        if (bar == std::string_view::npos) break;
        rest.remove_prefix(bar + 1);
    }
    return parts;
}

constexpr int floorToGrid(int value) {
    return value >= 0 ? value / kGrid * kGrid : -((-value + kGrid - 1) / kGrid) * kGrid;
}
constexpr int ceilToGrid(int value) { return -floorToGrid(-value); }

class Planner {
public:
    explicit Planner(const Typesetter& type) : type_(type) {}

    PanelPlan run() {
        for (const Element& element : panelElements()) placeLabels(element);
        placeSubheadings();
        placeFrames();
        placeHeadings();
        placeHeader();
        return std::move(plan_);
    }

private:
    void add(std::string text, const TextStyle& style, TextRole role, double x, double baseline, Group group,
             const Element* owner = nullptr) {
        PrintedText printed;
        printed.text = std::move(text);
        printed.style = style;
        printed.role = role;
        printed.x = static_cast<int>(std::lround(x));
        printed.baseline = static_cast<int>(std::lround(baseline));
        const double width = type_.width(printed.text, style);
        const auto [inkTop, inkBottom] = type_.inkRows(printed.text, style);
        const int top = static_cast<int>(std::floor(printed.baseline + inkTop));
        const int bottom = static_cast<int>(std::ceil(printed.baseline + inkBottom));
        printed.box = {printed.x, top, static_cast<int>(std::ceil(printed.x + width)) - printed.x, bottom - top};
        printed.owner = owner;
        printed.group = group;
        plan_.texts.push_back(std::move(printed));
    }

    double width(std::string_view text) const { return type_.width(text, type::kLabel); }
    // Baseline that centres capitals on a horizontal line.
    double centredBaseline(double centreY) const { return centreY + type_.ascent(type::kLabel) / 2.0; }

    // Two lines, split at the space that makes the longer line shortest. A
    // number stays with the word before it ("Attenuator 1").
    std::vector<std::string> wrapped(const std::string& text) const {
        if (width(text) <= kWrapWidth) return {text};
        std::vector<std::string> best = {text};
        double bestWidth = width(text);
        for (std::size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at + 1)) {
            const std::size_t next = text.find(' ', at + 1);
            const std::string_view following =
                std::string_view(text).substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
            if (std::all_of(following.begin(), following.end(),
                            [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }))
                continue;
            const std::string first = text.substr(0, at);
            const std::string second = text.substr(at + 1);
            const double longer = std::max(width(first), width(second));
            if (longer < bestWidth) {
                bestWidth = longer;
                best = {first, second};
            }
        }
        return best;
    }

    void placeLabels(const Element& element) {
        const Rect& r = element.rect;
        const double centreX = r.x + r.width / 2.0;
        const double centreY = r.y + r.height / 2.0;
        const std::string text = labelText(element);
        if (!text.empty()) {
            switch (element.caption) {
            case Caption::Below:
                add(text, type::kLabel, TextRole::Label, centreX - width(text) / 2.0,
                    r.bottom() + kLabelGap + type_.ascent(type::kLabel), element.group, &element);
                break;
            case Caption::Above:
                add(text, type::kLabel, TextRole::Label, centreX - width(text) / 2.0,
                    r.y - kLabelGap - type_.descent(type::kLabel), element.group, &element);
                break;
            case Caption::Left:
                add(text, type::kLabel, TextRole::Label, r.x - kLabelGap - 1 - width(text), centredBaseline(centreY),
                    element.group, &element);
                break;
            case Caption::Right: {
                const std::vector<std::string> lines = wrapped(text);
                double baseline =
                    centredBaseline(centreY) - (static_cast<double>(lines.size()) - 1.0) * kLinePitch / 2.0;
                for (const std::string& line : lines) {
                    add(line, type::kLabel, TextRole::Label, r.right() + kLabelGap + 2, baseline, element.group,
                        &element);
                    baseline += kLinePitch;
                }
                break;
            }
            case Caption::None: break;
            }
        }
        if (element.positions == nullptr) return;
        const std::vector<std::string> names = splitPositions(element.positions);
        const int count = static_cast<int>(names.size());
        for (int i = 0; i < count; ++i) {
            const std::string& name = names[static_cast<std::size_t>(i)];
            if (r.height > r.width) {
                // Beside each position of a vertical switch, top to bottom.
                const double positionCentre = r.y + r.height * (i + 0.5) / count;
                add(name, type::kLabel, TextRole::Position, r.right() + kLabelGap + 1, centredBaseline(positionCentre),
                    element.group, &element);
            } else {
                // Over each position of a horizontal switch, left to right.
                const double positionCentre = r.x + r.width * (i + 0.5) / count;
                add(name, type::kLabel, TextRole::Position, positionCentre - width(name) / 2.0,
                    r.y - kLabelGap - type_.descent(type::kLabel), element.group, &element);
            }
        }
    }

    // A part of a section is headed over its first control in the table.
    void placeSubheadings() {
        std::set<Group> headed;
        for (const Element& element : panelElements()) {
            const GroupInfo& info = groupInfo(element.group);
            if (info.section == element.group || info.heading == nullptr) continue;
            if (!headed.insert(element.group).second) continue;
            add(info.heading, type::kSubheading, TextRole::Subheading, element.rect.x,
                element.rect.y - kLabelGap - type_.descent(type::kSubheading), element.group);
        }
    }

    static Group sectionOf(const Element& element) { return groupInfo(element.group).section; }

    void placeFrames() {
        std::map<Group, Rect> content;
        for (const Element& element : panelElements()) {
            if (!isSection(sectionOf(element))) continue;
            content[sectionOf(element)] = content[sectionOf(element)].united(element.rect);
        }
        for (const PrintedText& text : plan_.texts) {
            const Group section = groupInfo(text.group).section;
            if (isSection(section)) content[section] = content[section].united(text.box);
        }
        for (const auto& [section, box] : content) {
            const int left = floorToGrid(box.x - kFramePadding);
            const int top = floorToGrid(box.y - kHeadingStrip);
            const int right = ceilToGrid(box.right() + kFramePadding);
            const int bottom = ceilToGrid(box.bottom() + kFramePadding);
            plan_.frames.push_back({section, {left, top, right - left, bottom - top}});
        }
        alignBands();
    }

    // Sections side by side form a band: they share their top and bottom,
    // the band starts and ends at the panel margins, and its sections stand
    // one gutter apart.
    void alignBands() {
        std::vector<SectionFrame>& frames = plan_.frames;
        std::sort(frames.begin(), frames.end(),
                  [](const SectionFrame& a, const SectionFrame& b) { return a.rect.y < b.rect.y; });
        std::size_t first = 0;
        while (first < frames.size()) {
            std::size_t end = first + 1;
            int bottom = frames[first].rect.bottom();
            while (end < frames.size() && frames[end].rect.y < bottom)
                bottom = std::max(bottom, frames[end++].rect.bottom());
            alignBand(std::span(frames).subspan(first, end - first), frames[first].rect.y, bottom);
            first = end;
        }
    }

    static void alignBand(std::span<SectionFrame> band, int top, int bottom) {
        std::sort(band.begin(), band.end(),
                  [](const SectionFrame& a, const SectionFrame& b) { return a.rect.x < b.rect.x; });
        for (std::size_t k = 0; k < band.size(); ++k) {
            Rect& r = band[k].rect;
            const int left = k == 0 ? std::min(r.x, kMargin) : r.x;
            const int right = k + 1 == band.size() ? std::max(r.right(), kPanelRect.right() - kMargin)
                                                   : std::max(r.right(), band[k + 1].rect.x - kGutter);
            r = {left, top, right - left, bottom - top};
        }
    }

    void placeHeadings() {
        for (const SectionFrame& frame : plan_.frames)
            add(groupInfo(frame.section).heading, type::kHeading, TextRole::Heading, frame.rect.x + kHeadingInset,
                frame.rect.y + kHeadingBaseline, frame.section);
        // The patch field explains its two kinds of socket at the end of its heading band.
        for (const SectionFrame& frame : plan_.frames) {
            if (frame.section != Group::PatchField) continue;
            const double baseline = frame.rect.y + kHeadingBaseline;
            const double outputX = frame.rect.right() - kHeadingInset - width("OUTPUT");
            add("OUTPUT", type::kLabel, TextRole::LegendOutput, outputX, baseline, Group::PatchField);
            const double inputX = outputX - kLegendSpacing - width("INPUT");
            add("INPUT", type::kLabel, TextRole::LegendInput, inputX, baseline, Group::PatchField);
        }
    }

    void placeHeader() {
        add("TARVIK", type::kLogo, TextRole::Logo, 16, 30, Group::Header);
        add("Sonvarde", type::kMaker, TextRole::Maker, 17, 44, Group::Header);
    }

    const Typesetter& type_;
    PanelPlan plan_;
};

}  // namespace

int parameterIndex(const Element& element) {
    return gui::parameterOfControl(element.id);
}

std::string labelText(const Element& element) {
    if (element.caption == Caption::None) return {};
    if (const int socket = socketIndex(element); socket >= 0 && socket < kNumSockets)
        return kSocketDefinitions[static_cast<std::size_t>(socket)].name;
    if (const int parameter = parameterIndex(element); parameter >= 0)
        return parameterLabel(kParameterTable[static_cast<std::size_t>(parameter)].name, groupInfo(element.group));
    return element.text != nullptr ? element.text : "";
}

PanelPlan planPanel(const Typesetter& type) { return Planner(type).run(); }

}  // namespace tarvik::skin
