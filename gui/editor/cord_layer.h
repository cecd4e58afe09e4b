// The panel's patch cables: a fixed pool of cords in a transparent layer
// over the whole panel. The layer never takes the pointer (the sockets and
// knobs beneath it do); it only draws the cords in use, each where it meets
// the area being repainted, and moves them at the editor's idle.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "dsp/connection.h"
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

class CordLayer : public Container {
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
    CordLayer(const Rect& area, const GuiPreferences& preferences, const CableSkin& skin, std::uint32_t seed);

    bool hitTest(Point) const override { return false; }

    PatchCord& cord(int k) { return *cords_[static_cast<std::size_t>(k)]; }
    const PatchCord& cord(int k) const { return *cords_[static_cast<std::size_t>(k)]; }
    // The first cord not in use; null when all are.
    PatchCord* freeCord();
    // The cord that stands for the cable between the two sockets (one in use
    // first); null when none does.
    PatchCord* findCord(int output, int input);
    CordRandom& random() { return random_; }

    // Cord k shows connection k: its ends at the sockets' centres, dropped
    // so that it falls into place, shown while cables are displayed. The
    // other cords are put away.
    void rebuild(const ConnectionList& connections, const SocketCentre& centreOf);

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
    CordRandom random_;
    std::array<PatchCord*, kPoolSize> cords_{};
    bool dragging_ = false;
};

}  // namespace tarvik::gui
