// The panel's patch cables: a fixed pool of cables in a transparent layer
// over the whole panel. The layer never takes the pointer (the sockets and
// knobs beneath it do); it only draws the cables in use, each where it meets
// the area being repainted, and moves them at the editor's idle.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "dsp/cable.h"
#include "gui/editor/patch_cord.h"
#include "gui/gui_preferences.h"
#include "gui/skin_definition.h"
#include "gui/toolkit/container.h"

namespace tarvik::gui {

// What the skin gives the cables.
struct CableSkin {
    const Bitmap* plug = nullptr;    // drawn at a cable's free end
    const Bitmap* shadow = nullptr;  // kept for skins that ask for it; not drawn
    int type = 0;
    SkinColor tint;
};

class CableLayer : public Container {
public:
    static constexpr int kPoolSize = 64;
    // The spring constant per millisecond since the previous step, and its
    // limit: the cables swing at the same speed whatever the idle rate.
    static constexpr float kSpringPerMillisecond = 0.007f;
    static constexpr float kMaxSpring = 0.9f;

    // Where a socket's centre is on the panel; nullopt for a socket the skin
    // leaves out.
    using SocketCentre = std::function<std::optional<PointF>(int socket)>;

    // Covers `area` (the whole frame); reads the cable preferences at each
    // rebuild and step.
    CableLayer(const Rect& area, const GuiPreferences& preferences, const CableSkin& skin, std::uint32_t seed);

    bool hitTest(Point) const override { return false; }

    PatchCord& cable(int k) { return *cables_[static_cast<std::size_t>(k)]; }
    const PatchCord& cable(int k) const { return *cables_[static_cast<std::size_t>(k)]; }
    // The first cable not in use; null when all are.
    PatchCord* freeCable();
    // The cable between the two sockets (one in use
    // first); null when none does.
    PatchCord* findCable(int output, int input);
    CableRandom& random() { return random_; }

    // Cable k of the pool shows entry k of the list: its ends at the sockets'
    // centres, dropped so that it falls into place, shown while cables are
    // displayed. The other cables are put away.
    void rebuild(const CableList& cables, const SocketCentre& centreOf);

    // A cable is in the user's hand: every cable swings, whatever the
    // preferences say.
    void setDragging(bool dragging) { dragging_ = dragging; }
    bool dragging() const { return dragging_; }
    bool animating() const { return dragging_ || preferences_.antiAliasing != 0; }
    // Whether a cable in use has not come to rest yet.
    bool moving() const;

    // The idle's step of every cable in use, `elapsedMilliseconds` after the
    // previous one, the mouse having moved by `mouseDelta` since.
    void step(double elapsedMilliseconds, Point mouseDelta);

private:
    const GuiPreferences& preferences_;
    CableSkin skin_;
    CableRandom random_;
    std::array<PatchCord*, kPoolSize> cables_{};
    bool dragging_ = false;
};

}  // namespace tarvik::gui
