// The patch cables' share of a frame at the editor's idle: every cable in
// the pool swinging (the spring step, the curve, and the repaint of the
// areas the cables left and reached), drawn with Cairo into a back buffer
// the size of the default panel, as the Linux editor draws.
#include <benchmark/benchmark.h>

#include <cairo.h>

#include <cmath>
#include <memory>

#include "gui/backend/cairo_draw_context.h"
#include "gui/editor/cable_layer.h"
#include "gui/gui_preferences.h"
#include "gui/toolkit/frame.h"

namespace {

using namespace tarvik::gui;

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr double kFrameMilliseconds = 1000.0 / 60.0;

// As many cables as asked for, hung across the panel and dropped, so that all swing.
struct SwingingCables {
    explicit SwingingCables(int cables) {
        frame.setBackgroundColor(Color{40, 42, 46});
        preferences.antiAliasing = 1;  // cables swing and shake
        layer = &frame.add(std::make_unique<CableLayer>(frame.rect(), preferences, CableSkin{}, 7u));
        for (int k = 0; k < cables; ++k) {
            PatchCord& cable = layer->cable(k);
            const double x = 60.0 + 18.0 * k;
            cable.setEnds({x, 300.0 + 5.0 * (k % 7)}, {kWidth - x, 320.0 + 4.0 * (k % 5)});
            cable.setSockets(k % 20, 21 + k % 20);
            cable.setInUse(true);
            cable.drop(layer->random());
        }
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
        context = std::make_unique<CairoDrawContext>(surface);
        frame.paintDirty(*context);
    }
    ~SwingingCables() {
        context.reset();
        cairo_surface_destroy(surface);
    }

    // Keeps the cables from settling: each frame some are dropped anew.
    void frameStep(int frameNumber) {
        layer->cable(frameNumber % CableLayer::kPoolSize).drop(layer->random());
        layer->step(kFrameMilliseconds, Point{frameNumber % 3 - 1, 0});
        frame.paintDirty(*context);
    }

    Frame frame{Rect{0, 0, kWidth, kHeight}};
    GuiPreferences preferences;
    CableLayer* layer = nullptr;
    cairo_surface_t* surface = nullptr;
    std::unique_ptr<CairoDrawContext> context;
};

void BM_CablesSwingingFrame(benchmark::State& state) {
    SwingingCables cables(static_cast<int>(state.range(0)));
    int n = 0;
    for (auto _ : state) cables.frameStep(n++);
    state.counters["share_of_60Hz_frame"] = benchmark::Counter(
        static_cast<double>(state.iterations()) / 1000.0 * kFrameMilliseconds, benchmark::Counter::kIsRate |
                                                                                    benchmark::Counter::kInvert);
}
BENCHMARK(BM_CablesSwingingFrame)->Arg(1)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

}  // namespace
