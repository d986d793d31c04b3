// The game window's frame: its whole OnNcPaint at 1920 x 1080 and 3840 x 2160 beside the floor of
// any frame paint (copying just the frame's pixels from one buffer to another), and the repaints a
// pointer path across the caption causes. Runs on the headless backend: the frame is composed by
// the window model's drawing on cairo, exactly as on Linux.
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
    HeadlessReset();
    Headless().workArea = CRect(0, 0, nWidth, nHeight);
    CDrelkClientApp app;
    AfxWinInit(&app, "");
    app.m_strGameUrl = "http://op/login.php?sid=1&server_name=x";
    ChtmlbrowserDlg dialog;
    Headless().onIdle = [&] {
        body(dialog);
        return false;
    };
    dialog.DoModal();
    Headless().onIdle = nullptr;
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
}

// The frame's pixels of a W x H window (caption strip, left and right borders, bottom border) copied
// from one W x H buffer to another, row by row with memcpy: what no paint of the frame can beat.
void BM_FrameCopyFloor(benchmark::State& state) {
    const int nWidth = static_cast<int>(state.range(0));
    const int nHeight = static_cast<int>(state.range(1));
    constexpr int kCaption = 39;
    constexpr int kBorder = 3;
    const std::size_t nPixels = static_cast<std::size_t>(nWidth) * nHeight;
    std::vector<std::uint32_t> source(nPixels, 0xFF402010u);
    std::vector<std::uint32_t> target(nPixels);
    const auto copyRows = [&](int x, int nRowWidth, int yFrom, int yTo) {
        for (int y = yFrom; y < yTo; ++y) {
            const std::size_t nOffset = static_cast<std::size_t>(y) * nWidth + x;
            std::memcpy(target.data() + nOffset, source.data() + nOffset, nRowWidth * sizeof(std::uint32_t));
        }
    };
    for (auto _ : state) {
        // The caption strip is contiguous.
        std::memcpy(target.data(), source.data(),
                    static_cast<std::size_t>(nWidth) * kCaption * sizeof(std::uint32_t));
        copyRows(0, kBorder, kCaption, nHeight - kBorder);
        copyRows(nWidth - kBorder, kBorder, kCaption, nHeight - kBorder);
        std::memcpy(target.data() + static_cast<std::size_t>(nHeight - kBorder) * nWidth,
                    source.data() + static_cast<std::size_t>(nHeight - kBorder) * nWidth,
                    static_cast<std::size_t>(nWidth) * kBorder * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}

// A pointer crossing the caption from left to right in 4-pixel steps, then into the page.
void BM_CaptionPointerPath(benchmark::State& state) {
    WithGameWindow(1920, 1080, [&](ChtmlbrowserDlg& dialog) {
        int nRepaints = 0;
        for (auto _ : state) {
            const int nBefore = Headless().nFramePaints;
            for (int x = 0; x < 1920; x += 4) {
                ModelMouseHover(dialog.m_hWnd, CPoint(x, 20));
            }
            ModelMouseLeftFrame(dialog.m_hWnd);
            nRepaints = Headless().nFramePaints - nBefore;
        }
        state.counters["repaints"] = nRepaints;
        state.counters["moves"] = 480;
    });
}

} // namespace

BENCHMARK(BM_FramePaint)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameCopyFloor)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CaptionPointerPath)->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
