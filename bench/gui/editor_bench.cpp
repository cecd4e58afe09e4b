// What the editor costs the host's GUI thread, through the built binary in a
// window on the X server of $DISPLAY: an idle pass when nothing changed (the
// common case, many times a second) and a repaint of the whole panel (after
// the window was covered). Times are per pass.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/host/editor_window_host.h"
#include "tools/host/hosted_plugin.h"

namespace {

using tarvik::host::EditorWindowHost;
using tarvik::host::HostedPlugin;

// The build's data folder holds the default skin.
bool openEditor(HostedPlugin& host, EditorWindowHost& window, benchmark::State& state) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no X display: run under scripts/with-xvfb.sh");
        return false;
    }
    ::setenv("TARVIK_DATA_DIR", TARVIK_BUILD_DATA_DIR, 1);
    std::string error;
    if (!host.load(TARVIK_PLUGIN_PATH, error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    host.start();
    if (!window.open(error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    window.idleFor(std::chrono::milliseconds(300));
    return true;
}

void BM_EditorQuietIdle(benchmark::State& state) {
    HostedPlugin host;
    EditorWindowHost window(host);
    if (!openEditor(host, window, state)) return;
    for (auto _ : state) window.idle();
}
BENCHMARK(BM_EditorQuietIdle)->Unit(benchmark::kMicrosecond);

void BM_EditorFullRepaint(benchmark::State& state) {
    HostedPlugin host;
    EditorWindowHost window(host);
    if (!openEditor(host, window, state)) return;
    for (auto _ : state) {
        window.exposeEditor();
        window.idle();
    }
}
BENCHMARK(BM_EditorFullRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
