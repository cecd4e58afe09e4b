#include "gui/editor/patch_cord.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarvik::gui {

namespace {

constexpr float kMinSegment = 0.00001f;
constexpr Color kShadowColour{0, 0, 0, 127};

std::uint8_t shade(float component, int factor) {
    return static_cast<std::uint8_t>(std::clamp(static_cast<int>(component * static_cast<float>(factor)), 0, 255));
}

// One axis of the spring; true once it has come to rest on the target.
bool springAxis(float target, float& position, float& velocity, float& acceleration, float k) {
    acceleration = (target - velocity * PatchCord::kDamping) - position;
    velocity += acceleration * k;
    position += velocity * k;
    if (std::fabs(position - target) < PatchCord::kSettled && std::fabs(velocity) < PatchCord::kSettled) {
        position = target;
        velocity = 0.0f;
        acceleration = 0.0f;
        return true;
    }
    return false;
}

}  // namespace

const std::array<CableTint, 11> PatchCord::kTints = {{
    {1.0f, 0.55f, 0.15f},   // orange
    {0.35f, 0.6f, 1.0f},    // blue
    {0.4f, 1.0f, 0.35f},    // green
    {1.0f, 0.45f, 0.85f},   // pink
    {1.0f, 0.95f, 0.3f},    // yellow
    {0.3f, 0.9f, 1.0f},     // cyan
    {1.0f, 0.32f, 0.32f},   // red
    {0.7f, 0.5f, 1.0f},     // violet
    {0.7f, 1.0f, 0.25f},    // lime
    {0.95f, 0.95f, 0.95f},  // white
    {0.3f, 1.0f, 0.75f},    // teal
}};

const CableTint& PatchCord::tintFor(int socket) {
    return kTints[static_cast<std::size_t>(std::max(socket, 0)) % kTints.size()];
}

PatchCord::PatchCord() : View(Rect{}) {
    setVisible(false);
    updateCurve();
}

void PatchCord::setEnds(PointF start, PointF end) {
    start_ = start;
    end_ = end;
}

void PatchCord::setSockets(int output, int input) {
    output_ = output;
    input_ = input;
    if (output_ >= 0) setTint(tintFor(output_));
}

void PatchCord::swapEnds() {
    std::swap(start_, end_);
    setSockets(input_, output_);
}

void PatchCord::setInUse(bool inUse) {
    if (inUse) setRect(coveredRect());
    setVisible(inUse);
}

void PatchCord::setPlugVisible(bool visible) {
    if (visible == plugVisible_) return;
    plugVisible_ = visible;
    if (!inUse()) return;
    invalidRect(plugRect());
    setRect(coveredRect());
}

void PatchCord::setShadow(bool shadow) {
    if (shadow == shadow_) return;
    shadow_ = shadow;
    if (inUse()) invalid();
}

void PatchCord::setTint(const CableTint& tint) {
    tint_ = tint;
    if (inUse()) invalid();
}

std::array<Color, PatchCord::kPaletteSize> PatchCord::palette() const {
    std::array<Color, kPaletteSize> colours;
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = {shade(tint_.r, kShades[i]), shade(tint_.g, kShades[i]), shade(tint_.b, kShades[i]), 255};
    return colours;
}

CablePoint PatchCord::restPosition() const {
    return {static_cast<float>((start_.x + end_.x) / 2.0) + kRestOffsetX,
            static_cast<float>((start_.y + end_.y) / 2.0) + tension_ * kSagPerTension};
}

void PatchCord::drop(CableRandom& random) {
    const int offsetX = random.next() % kDropSpread - kDropSpread / 2;
    const int offsetY = random.next() % kDropSpread - kDropSpread / 2;
    control_ = {static_cast<float>((start_.x + end_.x) / 2.0) + kRestOffsetX + static_cast<float>(offsetX),
                static_cast<float>((start_.y + end_.y) / 2.0) + kDropDepth + static_cast<float>(offsetY)};
    velocity_ = {};
    acceleration_ = {};
    moving_ = true;
    updateCurve();
}

void PatchCord::pickUp() {
    control_ = {static_cast<float>((start_.x + end_.x) / 2.0), static_cast<float>((start_.y + end_.y) / 2.0)};
    velocity_ = {};
    acceleration_ = {};
    moving_ = true;
    updateCurve();
}

bool PatchCord::step(bool animate) {
    const CablePoint target = restPosition();
    if (animate) {
        const bool restX = springAxis(target.x, control_.x, velocity_.x, acceleration_.x, spring_);
        const bool restY = springAxis(target.y, control_.y, velocity_.y, acceleration_.y, spring_);
        moving_ = !(restX && restY);
    } else {
        control_ = target;
        velocity_ = {};
        acceleration_ = {};
        moving_ = false;
    }
    return updateCurve();
}

void PatchCord::shake(int dx, int dy, CableRandom& random) {
    if (dx == 0 && dy == 0) return;
    control_.x -= static_cast<float>(dx * (random.next() % kShakeSteps) / kShakeSteps);
    control_.y -= static_cast<float>(dy * (random.next() % kShakeSteps) / kShakeSteps);
}

// The quadratic curve through the control point, in single precision; the
// view's rectangle follows it, repainting where the cable was and is.
bool PatchCord::updateCurve() {
    const int count = std::clamp(static_cast<int>(slack_ * static_cast<float>(kPointsPerSlack)), 2, kMaxPoints);
    const auto x0 = static_cast<float>(start_.x);
    const auto y0 = static_cast<float>(start_.y);
    const auto x1 = static_cast<float>(end_.x);
    const auto y1 = static_cast<float>(end_.y);
    bool changed = count != count_;
    CableArea box{x0, y0, x0, y0};  // the first point is the start
    for (int i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(count - 1);
        const float u = 1.0f - t;
        const CablePoint p{u * u * x0 + 2.0f * u * t * control_.x + t * t * x1,
                           u * u * y0 + 2.0f * u * t * control_.y + t * t * y1};
        CablePoint& kept = points_[static_cast<std::size_t>(i)];
        changed = changed || !(kept == p);
        kept = p;
        box = {std::min(box.left, static_cast<double>(p.x)), std::min(box.top, static_cast<double>(p.y)),
               std::max(box.right, static_cast<double>(p.x)), std::max(box.bottom, static_cast<double>(p.y))};
    }
    count_ = count;
    dirty_ = {box.left - kDirtyMargin, box.top - kDirtyMargin, box.right + kDirtyMargin, box.bottom + kDirtyMargin};
    if (!inUse()) return changed;
    const Rect covered = coveredRect();
    if (covered != rect())
        setRect(covered);
    else if (changed)
        invalid();
    return changed;
}

// The plug sits centred on the free end, one pixel up and to the left.
Rect PatchCord::plugRect() const {
    if (!plug_ || plug_->empty() || count_ == 0) return {};
    const CablePoint last = points_[static_cast<std::size_t>(count_ - 1)];
    return Rect::sized(static_cast<int>(last.x) - plug_->width() / 2 - 1,
                       static_cast<int>(last.y) - plug_->height() / 2 - 1, plug_->width(), plug_->height());
}

// The dirty area on whole pixels, with the plug when it shows (a plug wider
// than the margin would otherwise leave traces).
Rect PatchCord::coveredRect() const {
    const Rect area{static_cast<int>(std::floor(dirty_.left)), static_cast<int>(std::floor(dirty_.top)),
                    static_cast<int>(std::ceil(dirty_.right)), static_cast<int>(std::ceil(dirty_.bottom))};
    return plugVisible_ ? area.united(plugRect()) : area;
}

void PatchCord::draw(DrawContext& context) {
    if (!inUse() || count_ < 2) return;
    const std::array<Color, kPaletteSize> shades = palette();
    if (plugVisible_ && plug_ && !plug_->empty()) context.drawBitmap(*plug_, plugRect(), {0, 0});
    if (shadow_) {
        std::array<PointF, kMaxPoints> moved;
        for (int i = 0; i < count_; ++i) {
            const CablePoint p = points_[static_cast<std::size_t>(i)];
            moved[static_cast<std::size_t>(i)] = {p.x + kShadowOffset, p.y + kShadowOffset};
        }
        context.drawPolyline(moved.data(), count_, kShadowWidth, kShadowColour, true);
    }
    drawStrands(context, shades);
}

// Seven thin strands side by side along the curve's normal, dark at the
// edges and bright at the core, read the same whichever way the cable runs.
void PatchCord::drawStrands(DrawContext& context, const std::array<Color, kPaletteSize>& shades) const {
    std::array<std::array<PointF, kMaxPoints>, kStrands> strands;
    const float side = start_.x < end_.x ? -1.0f : 1.0f;
    int length = 0;  // points in each strand so far
    for (int i = 0; i + 1 < count_; ++i) {
        const CablePoint a = points_[static_cast<std::size_t>(i)];
        const CablePoint b = points_[static_cast<std::size_t>(i + 1)];
        const float dx = b.x - a.x;
        const float dy = b.y - a.y;
        const float segment = std::sqrt(dx * dx + dy * dy);
        if (segment < kMinSegment) continue;
        const float nx = -dy / segment;
        const float ny = dx / segment;
        for (int s = 0; s < kStrands; ++s) {
            const float offset = static_cast<float>(s - kStrands / 2) * side;
            auto& strand = strands[static_cast<std::size_t>(s)];
            if (length == 0) strand[0] = {a.x + offset * nx, a.y + offset * ny};
            strand[static_cast<std::size_t>(length + 1)] = {b.x + offset * nx, b.y + offset * ny};
        }
        ++length;
    }
    if (length == 0) return;
    // The strands overlap their neighbours, so only the two outermost make
    // the cable's edge: those are smoothed, the inner ones drawn plain,
    // which costs a fraction of smoothing all seven and looks the same.
    for (int s = 0; s < kStrands; ++s)
        context.drawPolyline(strands[static_cast<std::size_t>(s)].data(), length + 1, kStrandWidth,
                             shades[static_cast<std::size_t>(kStrands - 1 - s)], s == 0 || s == kStrands - 1);
}

}  // namespace tarvik::gui
