// Everything printed on the panel and every section frame, worked out from
// the layout table: labels under and beside controls, switch position names,
// subheadings, section headings and the logo.
#pragma once

#include <string>
#include <vector>

#include "tools/skin/canvas.h"
#include "tools/skin/geometry.h"
#include "tools/skin/layout.h"

namespace tarvik::skin {

enum class TextRole { Label, Position, Subheading, Heading, Logo, Maker, LegendInput, LegendOutput };

struct PrintedText {
    std::string text;
    TextStyle style;
    TextRole role = TextRole::Label;
    int x = 0;  // left edge
    int baseline = 0;
    Rect box;                        // what the text covers, rounded outwards
    const Element* owner = nullptr;  // the control it names, if any
    Group group = Group::Header;     // where on the panel it is printed
};

struct SectionFrame {
    Group section;
    Rect rect;
};

struct PanelPlan {
    std::vector<PrintedText> texts;
    std::vector<SectionFrame> frames;
};

// The label a control carries on the panel: a socket's name, its
// parameter's name without the words its heading already says, or the
// table's own text. Empty for controls without a label.
std::string labelText(const Element& element);

// The parameter an element shows, or -1.
int parameterIndex(const Element& element);

PanelPlan planPanel(const Typesetter& type);

}  // namespace tarvik::skin
