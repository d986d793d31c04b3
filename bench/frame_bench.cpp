// The game window's frame: a whole-frame paint at 1920 x 1080 and 3840 x 2160 beside a plain copy
// of the same number of pixels, and the repaints a pointer path across the caption causes. Runs on
// the headless backend: the frame is composed by the framework's drawing, as on Linux.
#include "gamewindow/htmlbrowser_dlg.h"

#include "app/drelk_client_app.h"
#include "framework/headless/headless_platform.h"
#include "framework/headless/headless_inspect.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

// Runs the body while a game window of the size is up.
template <typename Body>
void WithGameWindow(int nWidth, int nHeight, Body body) {
    AfxResetHeadless();
    AfxHeadless().workArea = CRect(0, 0, nWidth, nHeight);
    CDrelkClientApp app;
    AfxWinInit(&app, "");
    app.m_strGameUrl = "http://op/login.php?sid=1&server_name=x";
    ChtmlbrowserDlg dialog;
    AfxHeadless().onIdle = [&] {
        body(dialog);
        return false;
    };
    dialog.DoModal();
    AfxHeadless().onIdle = nullptr;
}

void BM_FramePaint(benchmark::State& state) {
    const int nWidth = static_cast<int>(state.range(0));
    const int nHeight = static_cast<int>(state.range(1));
    WithGameWindow(nWidth, nHeight, [&](ChtmlbrowserDlg& dialog) {
        dialog.SetWindowText("Drelk - 双线一区");
        for (auto _ : state) {
            dialog.OnNcPaint();
        }
    });
    state.SetItemsProcessed(state.iterations() * nWidth * nHeight);
}

void BM_PlainCopy(benchmark::State& state) {
    const std::size_t nPixels = static_cast<std::size_t>(state.range(0)) * state.range(1);
    std::vector<std::uint32_t> source(nPixels, 0xFF402010u);
    std::vector<std::uint32_t> target(nPixels);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), nPixels * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(nPixels));
}

// A pointer crossing the caption from left to right in 4-pixel steps, then into the page.
void BM_CaptionPointerPath(benchmark::State& state) {
    WithGameWindow(1920, 1080, [&](ChtmlbrowserDlg& dialog) {
        int nRepaints = 0;
        for (auto _ : state) {
            const int nBefore = AfxHeadless().nFramePaints;
            for (int x = 0; x < 1920; x += 4) {
                AfxMouseHover(dialog.m_hWnd, CPoint(x, 20));
            }
            AfxMouseLeftFrame(dialog.m_hWnd);
            nRepaints = AfxHeadless().nFramePaints - nBefore;
        }
        state.counters["repaints"] = nRepaints;
        state.counters["moves"] = 480;
    });
}

} // namespace

BENCHMARK(BM_FramePaint)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptionPointerPath)->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
