#include "tools/skin/panel.h"

#include <cmath>
#include <cstdint>

#include "dsp/socket_table.h"

namespace tarvik::skin {

namespace {

constexpr double kFrameRadius = 6.0;
constexpr Colour kBezel = rgb(7, 7, 8);
constexpr Colour kInputRing = rgb(150, 156, 164);
constexpr Colour kOutputPlate = rgb(92, 98, 107);
constexpr Colour kOutputEdge = rgb(132, 138, 147);

// A small fixed generator, so that every build draws the same grain.
class Grain {
public:
    double next() {
        state_ = state_ * 1664525U + 1013904223U;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1U << 24);
    }

private:
    std::uint32_t state_ = 0x7a5c31u;
};

void paintHeader(cairo_t* cr) {
    const double h = 48.0;
    setVerticalGradient(cr, 0.0, mix(palette::kHeader, palette::kShadow, 0.0), h,
                        mix(palette::kHeader, palette::kShadow, 0.25));
    cairo_rectangle(cr, 0.0, 0.0, kPanelRect.width, h);
    cairo_fill(cr);
    setColour(cr, palette::kShadow, 0.8);
    cairo_rectangle(cr, 0.0, h - 1.0, kPanelRect.width, 1.0);
    cairo_fill(cr);
}

void paintFrame(cairo_t* cr, const SectionFrame& frame) {
    const Rect& r = frame.rect;
    // A soft shadow so that the section sits on the panel.
    for (int i = 3; i >= 1; --i) {
        roundedRect(cr, r.x - i + 0.5, r.y - i + 1.5, r.width + 2 * i - 1.0, r.height + 2 * i - 1.0, kFrameRadius + i);
        setColour(cr, palette::kShadow, 0.10);
        cairo_fill(cr);
    }
    const Colour paper = frame.section == Group::Sequencer ? palette::kStrip : palette::kSection;
    roundedRect(cr, r.x + 0.5, r.y + 0.5, r.width - 1.0, r.height - 1.0, kFrameRadius);
    setVerticalGradient(cr, r.y, paper, r.bottom(), mix(paper, palette::kShadow, 0.12));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kSectionEdge);
    cairo_stroke(cr);
    setColour(cr, rgb(255, 255, 255), 0.05);
    cairo_move_to(cr, r.x + kFrameRadius, r.y + 1.5);
    cairo_line_to(cr, r.right() - kFrameRadius, r.y + 1.5);
    cairo_stroke(cr);
}

// Fine horizontal brushing over the whole panel; never lifts a paper by more
// than the palette's grain allowance.
void paintGrain(cairo_t* cr) {
    Grain grain;
    for (int y = 0; y < kPanelRect.height; ++y) {
        const double amount = grain.next() - 0.5;
        if (amount > 0.0)
            setColour(cr, rgb(255, 255, 255), amount * 0.024);
        else
            setColour(cr, palette::kShadow, -amount * 0.05);
        cairo_rectangle(cr, 0.0, y, kPanelRect.width, 1.0);
        cairo_fill(cr);
    }
    for (int i = 0; i < 1400; ++i) {
        const double x = grain.next() * kPanelRect.width;
        const double y = std::floor(grain.next() * kPanelRect.height);
        const double length = 30.0 + grain.next() * 260.0;
        if (grain.next() > 0.5)
            setColour(cr, rgb(255, 255, 255), 0.010);
        else
            setColour(cr, palette::kShadow, 0.05);
        cairo_rectangle(cr, x, y, length, 1.0);
        cairo_fill(cr);
    }
}

// A hairline from the heading to the end of the frame; it stops short of
// any control standing on its line.
void headingRule(cairo_t* cr, const PrintedText& heading, double end) {
    double start = heading.box.right() + 10.0;
    const double y = heading.baseline - 4.5;
    for (const Element& element : panelElements()) {
        const Rect& r = element.rect;
        if (isOverlay(element) || y < r.y || y >= r.bottom() || r.right() <= start || r.x >= end) continue;
        if (r.x < start + 16.0)
            start = r.right() + 8.0;
        else
            end = r.x - 8.0;
    }
    if (end <= start) return;
    setColour(cr, palette::kRule);
    cairo_rectangle(cr, start, y, end - start, 1.0);
    cairo_fill(cr);
}

void inputRing(cairo_t* cr, double cx, double cy, double radius) {
    cairo_set_line_width(cr, 1.5);
    setColour(cr, kInputRing);
    cairo_arc(cr, cx, cy, radius, 0.0, 2.0 * M_PI);
    cairo_stroke(cr);
}

void outputPlate(cairo_t* cr, double cx, double cy, double half) {
    roundedRect(cr, cx - half + 0.5, cy - half + 0.5, 2.0 * half - 1.0, 2.0 * half - 1.0, half * 0.4);
    setVerticalGradient(cr, cy - half, mix(kOutputPlate, rgb(255, 255, 255), 0.08), cy + half, kOutputPlate);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, kOutputEdge);
    cairo_stroke(cr);
}

// Outputs stand on a raised plate, inputs inside a thin ring.
void paintSocketCollars(cairo_t* cr) {
    for (const Element& element : panelElements()) {
        const int index = socketIndex(element);
        if (index < 0) continue;
        const double cx = element.rect.x + element.rect.width / 2.0;
        const double cy = element.rect.y + element.rect.height / 2.0;
        if (kSocketDefinitions[static_cast<std::size_t>(index)].direction == kSocketOutput)
            outputPlate(cr, cx, cy, element.rect.width / 2.0 + 2.0);
        else
            inputRing(cr, cx, cy, element.rect.width / 2.0 + 1.5);
    }
}

void paintBezels(cairo_t* cr) {
    for (const Element& element : panelElements()) {
        Rect r = element.rect;
        if (element.picture == Picture::Digits)
            r = r.grown(3);
        else if (element.picture == Picture::Keyboard)
            r = r.grown(4);
        else
            continue;
        roundedRect(cr, r.x, r.y, r.width, r.height, 3.0);
        setColour(cr, kBezel);
        cairo_fill(cr);
        // Shaded at the top edge, lit along the bottom: set into the panel.
        cairo_set_line_width(cr, 1.0);
        setColour(cr, rgb(255, 255, 255), 0.10);
        cairo_move_to(cr, r.x + 3.0, r.bottom() - 0.5);
        cairo_line_to(cr, r.right() - 3.0, r.bottom() - 0.5);
        cairo_stroke(cr);
    }
}

// A sample of each socket collar before the legend's words.
void paintLegend(cairo_t* cr, const PanelPlan& plan) {
    for (const PrintedText& text : plan.texts) {
        const double sampleX = text.x - 9.0;
        const double sampleY = text.box.y + text.box.height / 2.0;
        if (text.role == TextRole::LegendInput) inputRing(cr, sampleX, sampleY, 4.5);
        if (text.role == TextRole::LegendOutput) outputPlate(cr, sampleX, sampleY, 5.0);
    }
}

void paintTexts(cairo_t* cr, const PanelPlan& plan, const Typesetter& type) {
    for (const PrintedText& text : plan.texts) {
        if (text.role == TextRole::Logo) {
            // Pressed into the panel: a dark edge under the letters.
            TextStyle shadow = text.style;
            shadow.ink = palette::kShadow;
            type.draw(cr, text.text, shadow, text.x, text.baseline + 1);
        }
        type.draw(cr, text.text, text.style, text.x, text.baseline);
    }
}

}  // namespace

void paintPanel(Canvas& canvas, const PanelPlan& plan, const Typesetter& type) {
    paintPanelSurface(canvas, plan);
    paintTexts(canvas.cr(), plan, type);
}

void paintPanelSurface(Canvas& canvas, const PanelPlan& plan) {
    cairo_t* cr = canvas.cr();
    setColour(cr, palette::kPanel);
    cairo_paint(cr);
    paintHeader(cr);
    for (const SectionFrame& frame : plan.frames) paintFrame(cr, frame);
    paintGrain(cr);
    for (const PrintedText& text : plan.texts) {
        if (text.role != TextRole::Heading) continue;
        double end = 0.0;
        for (const SectionFrame& frame : plan.frames)
            if (frame.section == text.group) end = frame.rect.right() - 12.0;
        for (const PrintedText& legend : plan.texts)
            if (legend.role == TextRole::LegendInput && legend.group == text.group) end = legend.box.x - 24.0;
        headingRule(cr, text, end);
    }
    paintSocketCollars(cr);
    paintBezels(cr);
    paintLegend(cr, plan);
}

}  // namespace tarvik::skin
