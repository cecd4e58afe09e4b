// One patch cable on the panel: a quadratic curve between its two plugs
// whose middle hangs from a spring, so that a dropped cable falls, swings
// and comes to rest under its own tension. The cable is drawn as a shaded
// tube of seven strands over an optional soft shadow.
//
// A cable is a view whose rectangle is the area its picture covers: the
// frame repaints it only where that area meets what is being painted, and
// moving it repaints just where it was and where it is now. It never takes
// the pointer: the sockets beneath it do.
#pragma once

#include <array>
#include <cstdint>

#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/view.h"

namespace tarvik::gui {

// The cables' small source of chance (where a dropped cable
// falls from, how the mouse shakes them): numbers 0..kMax. The same seed
// gives the same cables.
class CableRandom {
public:
    static constexpr int kMax = 32767;

    explicit CableRandom(std::uint32_t seed = 1) : state_(seed) {}
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t state_;
};

struct CablePoint {
    float x = 0.0f;
    float y = 0.0f;
    bool operator==(const CablePoint&) const = default;
};

struct CableTint {
    float r = 1.0f;
    float g = 0.5f;
    float b = 0.3f;
};

// Left, top, right, bottom as the curve gives them, before any rounding.
struct CableArea {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

class PatchCord : public View {
public:
    static constexpr int kMaxPoints = 20;
    static constexpr int kPointsPerSlack = 17;
    static constexpr float kDefaultSpring = 0.06f;
    static constexpr float kSagPerTension = 200.0f;
    static constexpr float kRestOffsetX = 5.0f;
    static constexpr float kDropDepth = 200.0f;
    static constexpr int kDropSpread = 150;  // a drop lands within half of it either way
    static constexpr float kDamping = 0.72f;
    static constexpr float kSettled = 0.01f;
    static constexpr double kDirtyMargin = 20.0;
    static constexpr int kShakeSteps = 20;
    static constexpr int kStrands = 7;
    static constexpr double kStrandWidth = 2.0;
    static constexpr double kShadowWidth = 7.0;
    static constexpr double kShadowOffset = 5.0;
    static constexpr int kPaletteSize = 8;
    // Shades of the tint, in hundredths; strand s of seven takes shade 6 - s.
    static constexpr std::array<int, kPaletteSize> kShades = {100, 150, 250, 130, 100, 70, 60, 30};

    // Tints that stand out on the dark panel, neighbours far apart in hue.
    static const std::array<CableTint, 11> kTints;
    // The tint of a cable from `socket`: each output socket keeps its own
    // colour, so a cable looks the same for as long as it exists, through
    // other cables coming and going and the editor closing and opening.
    static const CableTint& tintFor(int socket);

    // A hidden cable.
    PatchCord();

    // --- What the cable joins. The start is the output end once connected.
    PointF start() const { return start_; }
    PointF end() const { return end_; }
    void setEnds(PointF start, PointF end);
    void setEnd(PointF end) { end_ = end; }
    int output() const { return output_; }
    int input() const { return input_; }
    // The cable takes the colour of its output (of its start while in hand).
    void setSockets(int output, int input);
    // Turns the cable round: ends and socket indexes change places.
    void swapEnds();

    // --- Look.
    bool inUse() const { return isVisible(); }
    // A cable out of use is not drawn and repaints nothing as it changes.
    void setInUse(bool inUse);
    bool plugVisible() const { return plugVisible_; }
    void setPlugVisible(bool visible);
    bool shadow() const { return shadow_; }
    void setShadow(bool shadow);
    const CableTint& tint() const { return tint_; }
    void setTint(const CableTint& tint);
    void setPlug(const Bitmap* plug) { plug_ = plug; }
    void setShadowBitmap(const Bitmap* shadowBitmap) { shadowBitmap_ = shadowBitmap; }
    const Bitmap* shadowBitmap() const { return shadowBitmap_; }
    // What the skin says about cables, kept for later looks.
    void setSkinCable(int type, const std::array<float, 3>& tint) {
        skinCableType_ = type;
        skinCableTint_ = tint;
    }
    int skinCableType() const { return skinCableType_; }
    // The eight shades the cable is drawn in.
    std::array<Color, kPaletteSize> palette() const;

    // --- Motion.
    float slack() const { return slack_; }
    void setSlack(float slack) { slack_ = slack; }
    float tension() const { return tension_; }
    void setTension(float tension) { tension_ = tension; }
    float spring() const { return spring_; }
    void setSpring(float spring) { spring_ = spring; }
    CablePoint control() const { return control_; }
    void setControl(CablePoint control) { control_ = control; }
    CablePoint velocity() const { return velocity_; }
    CablePoint acceleration() const { return acceleration_; }
    bool moving() const { return moving_; }
    // Where the middle of the cable comes to rest.
    CablePoint restPosition() const;
    // The middle starts well below its rest, somewhere about the middle, so
    // the cable falls and swings into place. The curve follows at once.
    void drop(CableRandom& random);
    // The middle starts halfway between the ends, standing still: for a
    // cable in the user's hand.
    void pickUp();
    // One step of the spring (animated) or straight to rest, then the curve
    // and its area follow; answers whether the picture changed.
    bool step(bool animate);
    // The mouse brushing past pushes the middle against its movement.
    void shake(int dx, int dy, CableRandom& random);

    // --- The curve as last stepped.
    int pointCount() const { return count_; }
    CablePoint point(int i) const { return points_[static_cast<std::size_t>(i)]; }
    // The points' bounding box grown by the margin.
    const CableArea& dirtyArea() const { return dirty_; }

    void draw(DrawContext& context) override;
    bool hitTest(Point) const override { return false; }

private:
    bool updateCurve();
    Rect coveredRect() const;
    Rect plugRect() const;
    void drawStrands(DrawContext& context, const std::array<Color, kPaletteSize>& shades) const;

    PointF start_;
    PointF end_;
    int output_ = -1;
    int input_ = -1;
    CablePoint control_;
    CablePoint velocity_;
    CablePoint acceleration_;
    int count_ = 0;
    std::array<CablePoint, kMaxPoints> points_{};
    float slack_ = 1.0f;
    float tension_ = 1.0f;
    float spring_ = kDefaultSpring;
    CableTint tint_;
    int skinCableType_ = 0;
    std::array<float, 3> skinCableTint_{};
    bool plugVisible_ = false;
    bool shadow_ = false;
    bool moving_ = false;
    CableArea dirty_;
    const Bitmap* plug_ = nullptr;
    const Bitmap* shadowBitmap_ = nullptr;
};

}  // namespace tarvik::gui
