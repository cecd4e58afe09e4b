#include "gui/editor/cable_layer.h"

#include <algorithm>
#include <memory>

namespace tarvik::gui {

CableLayer::CableLayer(const Rect& area, const GuiPreferences& preferences, const CableSkin& skin, std::uint32_t seed)
    : Container(area), preferences_(preferences), skin_(skin), random_(seed) {
    for (PatchCord*& kept : cables_) {
        PatchCord& made = add(std::make_unique<PatchCord>());
        made.setPlug(skin_.plug);
        made.setShadowBitmap(skin_.shadow);
        kept = &made;
    }
}

PatchCord* CableLayer::freeCable() {
    for (PatchCord* c : cables_)
        if (!c->inUse()) return c;
    return nullptr;
}

PatchCord* CableLayer::findCable(int output, int input) {
    PatchCord* putAway = nullptr;
    for (PatchCord* c : cables_) {
        if (c->output() != output || c->input() != input) continue;
        if (c->inUse()) return c;
        if (!putAway) putAway = c;
    }
    return putAway;
}

void CableLayer::rebuild(const CableList& cables, const SocketCentre& centreOf) {
    const std::array<float, 3> skinTint = {static_cast<float>(skin_.tint.r), static_cast<float>(skin_.tint.g),
                                           static_cast<float>(skin_.tint.b)};
    for (PatchCord* c : cables_) {
        c->setTension(preferences_.cableTension);
        c->setShadow(preferences_.softShadows != 0);
        c->setSkinCable(skin_.type, skinTint);
    }
    const int count = std::min(cables.size(), kPoolSize);
    for (int k = 0; k < kPoolSize; ++k) {
        PatchCord& c = cable(k);
        c.setPlugVisible(false);
        if (k >= count) {
            c.setInUse(false);
            c.setSockets(-1, -1);
            continue;
        }
        const Connection pair = cables.at(k);
        c.setSockets(pair.output, pair.input);
        const std::optional<PointF> from = centreOf(pair.output);
        const std::optional<PointF> to = centreOf(pair.input);
        // A cable to a socket the skin leaves out has nowhere to hang.
        if (!from || !to) {
            c.setInUse(false);
            continue;
        }
        c.setEnds(*from, *to);
        c.drop(random_);
        c.setInUse(preferences_.displayCables != 0);
    }
}

bool CableLayer::moving() const {
    return std::any_of(cables_.begin(), cables_.end(), [](const PatchCord* c) { return c->inUse() && c->moving(); });
}

void CableLayer::step(double elapsedMilliseconds, Point mouseDelta) {
    const float spring =
        std::clamp(kSpringPerMillisecond * static_cast<float>(elapsedMilliseconds), 0.0f, kMaxSpring);
    const bool animate = animating();
    const bool shaking = preferences_.antiAliasing != 0;
    for (PatchCord* c : cables_) {
        if (!c->inUse()) continue;
        c->setSpring(spring);
        c->step(animate);
        if (shaking) c->shake(mouseDelta.x, mouseDelta.y, random_);
    }
}

}  // namespace tarvik::gui
