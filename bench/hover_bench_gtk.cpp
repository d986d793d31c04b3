// A hover repaint on a real window: from one WM_NCMOUSEMOVE that changes the hot caption button to
// the frame handed to GTK, on the GTK backend under a display (Xvfb in the figures). Without a
// display the benchmark reports itself skipped.
#include "gamewindow/htmlbrowser_dlg.h"

#include "app/drelk_client_app.h"
#include "framework/emulated/window_core.h"

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include <cstdio>

namespace {

ChtmlbrowserDlg* g_pDialog = nullptr;

void BM_HoverRepaintGtk(benchmark::State& state) {
    if (g_pDialog == nullptr || g_pDialog->m_mapButtons.size() < 2) {
        state.SkipWithError("no display: the game window could not be shown");
        return;
    }
    // The centres of two neighbouring caption buttons, in screen coordinates.
    CRect rcWindow;
    g_pDialog->GetWindowRect(&rcWindow);
    auto it = g_pDialog->m_mapButtons.begin();
    const CPoint first = it->second.m_rect.CenterPoint() + rcWindow.TopLeft();
    ++it;
    const CPoint second = it->second.m_rect.CenterPoint() + rcWindow.TopLeft();
    bool bFirst = false;
    for (auto _ : state) {
        bFirst = !bFirst;
        ModelMouseHover(g_pDialog->m_hWnd, bFirst ? first : second);
    }
    ModelMouseLeftFrame(g_pDialog->m_hWnd);
}

gboolean RunAndClose(gpointer) {
    benchmark::RunSpecifiedBenchmarks();
    g_pDialog->EndDialog(IDOK);
    return G_SOURCE_REMOVE;
}

} // namespace

BENCHMARK(BM_HoverRepaintGtk)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    g_setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", FALSE);
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "no display: BM_HoverRepaintGtk skipped\n");
        benchmark::RunSpecifiedBenchmarks();
        return 0;
    }
    CDrelkClientApp app;
    AfxWinInit(&app, "");
    app.m_strGameUrl = "about:blank";
    ChtmlbrowserDlg dialog;
    g_pDialog = &dialog;
    // Once the window is up and drawn.
    g_timeout_add(1500, RunAndClose, nullptr);
    dialog.DoModal();
    g_pDialog = nullptr;
    benchmark::Shutdown();
    return 0;
}
