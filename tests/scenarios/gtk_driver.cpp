// The scenarios on the GTK realisation, on a virtual X screen with a window manager (openbox). The
// dialog's modal loop runs on the test's main thread, which is GTK's; the script runs on a player's
// thread. The player acts with the real pointer and keyboard (xdotool), reads the windows' real X
// geometry and shape and the screen's pixels, answers the GTK message boxes and the system menu with
// the pointer and keys, and sees what the program did through a loopback server (the game page),
// the recorder (registered as the desktop's default browser, and started again in place of the
// launcher) and WebKit's own cookie and cache store.
//
// This file also holds the test program's entry: the process environment (a home of its own with the
// fake browser's registration, no proxies, a UTF-8 locale) has to be in place before GTK and WebKit
// read it.
#include "scenarios/scenario_driver.h"

#include "support/loopback_server.h"

#include "app/drelk_client_app.h"
#include "framework/codepage.h"
#include "framework/dhtml_dialog.h"
#include "framework/gtk/gtk_inspect.h"
#include "settings/client_config.h"
#include "settings/client_reporter.h"

#include <gdk/gdkx.h>
#include <gmock/gmock.h>
#include <libsoup/soup.h>
#include <webkit2/webkit2.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <langinfo.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

namespace {

constexpr char kRelaunchName[] = "DrelkRelaunch";
constexpr char kGamePath[] = "/game.html?sid=7&server_name=";
// What a dialog the script left open ends with (IDABORT: none of the program's own results).
constexpr INT_PTR kEndedAfterScript = 3;

// The process's own home for the scenarios, made by main() before GTK starts.
std::string g_strHome;
std::string g_strRecordFile;
std::thread::id g_uiThread;

bool OnUiThreadNow() { return std::this_thread::get_id() == g_uiThread; }

std::string ReadWholeFile(const std::string& strPath) {
    std::ifstream file(strPath, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Runs a shell command (xdotool) on the player's thread and waits for it; the GTK loop runs on.
bool RunCommand(const std::string& strCommand) { return std::system(strCommand.c_str()) == 0; }

std::string MoveCommand(CPoint pt) {
    return "xdotool mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y);
}

// The fields of a record, NUL-separated: the working directory, the recorder's module path, then its
// arguments.
std::vector<std::string> RecordFields(const std::string& strRecord) {
    std::vector<std::string> fields;
    std::size_t nStart = 0;
    while (nStart < strRecord.size()) {
        const std::size_t nEnd = strRecord.find('\0', nStart);
        fields.push_back(strRecord.substr(nStart, nEnd - nStart));
        if (nEnd == std::string::npos) {
            break;
        }
        nStart = nEnd + 1;
    }
    return fields;
}

// The pixbuf's pixels as 0x00RRGGBB, or as 0xAARRGGBB (straight alpha) when bAlpha.
CPixelBlock FromPixbuf(GdkPixbuf* pPixbuf, bool bAlpha = false) {
    CPixelBlock block;
    if (pPixbuf == nullptr) {
        return block;
    }
    block.cx = gdk_pixbuf_get_width(pPixbuf);
    block.cy = gdk_pixbuf_get_height(pPixbuf);
    const int nChannels = gdk_pixbuf_get_n_channels(pPixbuf);
    const int nStride = gdk_pixbuf_get_rowstride(pPixbuf);
    const guchar* pPixels = gdk_pixbuf_read_pixels(pPixbuf);
    block.rgb.reserve(static_cast<std::size_t>(block.cx) * block.cy);
    for (int y = 0; y < block.cy; ++y) {
        const guchar* pRow = pPixels + static_cast<std::ptrdiff_t>(y) * nStride;
        for (int x = 0; x < block.cx; ++x) {
            const guchar* p = pRow + x * nChannels;
            const std::uint32_t nAlpha = bAlpha && nChannels == 4 ? std::uint32_t(p[3]) << 24 : 0;
            block.rgb.push_back(nAlpha | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2]);
        }
    }
    return block;
}

// The mapped top-level windows of GTK that satisfy a condition.
GtkWidget* FindTopLevel(const std::function<bool(GtkWidget*)>& match) {
    GtkWidget* pFound = nullptr;
    GList* pList = gtk_window_list_toplevels();
    for (GList* p = pList; p != nullptr && pFound == nullptr; p = p->next) {
        GtkWidget* pWidget = GTK_WIDGET(p->data);
        if (gtk_widget_get_mapped(pWidget) && match(pWidget)) {
            pFound = pWidget;
        }
    }
    g_list_free(pList);
    return pFound;
}

// An asynchronous WebKit call's end, shared with its callback (which may come after a wait gave up).
struct CAsyncAnswer {
    std::atomic<bool> bDone{false};
    std::atomic<bool> bYes{false};
};

class CGtkDriver : public CScenarioDriver {
public:
    CGtkDriver() {
        std::remove(g_strRecordFile.c_str());
        m_server.m_strResponse = GamePageResponse();
        ResetSettings();
        m_pApp = std::make_unique<CDrelkClientApp>();
        AfxWinInit(m_pApp.get(), "");
        // The relaunch starts "DrelkRelaunch" from the program's folder: the recorder.
        m_pApp->m_pszExeName = kRelaunchName;
        CClientConfig::Instance()->SetDefaults();
        // The launcher's server list comes from the loopback server too: the scenarios use no network.
        CClientConfig::Instance()->SetValue("page", m_server.Url("/mini/zonelist.html"));
        m_pApp->m_strGameUrl = GameAddress();
    }
    ~CGtkDriver() override {
        m_pApp.reset();
        ResetSettings();
        std::remove(g_strRecordFile.c_str());
    }

    bool RendersPages() const override { return true; }
    // WebKit keeps its caches per site and fills them only by loading: no entry can be made for an
    // address, and what it holds is told per site, not per address.
    bool KeepsUrlCacheEntries() const override { return false; }
    std::string GameAddress() const override { return m_server.Url(kGamePath); }

    INT_PTR RunModal(CDialog& dialog, const std::function<void()>& script) override {
        m_pDialog = &dialog;
        std::atomic<bool> bPlayerDone{false};
        std::thread player([&] {
            const bool bShown = WaitFor(
                [&] {
                    bool bMapped = false;
                    OnUiThread([&] {
                        GtkWidget* pWidget =
                            dialog.m_hWnd != nullptr ? GtkInspectWidget(dialog.m_hWnd) : nullptr;
                        bMapped = pWidget != nullptr && gtk_widget_get_mapped(pWidget);
                    });
                    return bMapped;
                },
                20);
            if (bShown) {
                std::this_thread::sleep_for(std::chrono::seconds(1)); // maximised, the first paints shown
                script();
            } else {
                ADD_FAILURE() << "the dialog was never shown";
            }
            OnUiThread([&] {
                if (dialog.m_hWnd != nullptr) {
                    dialog.EndDialog(kEndedAfterScript);
                }
            });
            bPlayerDone = true;
            g_main_context_wakeup(nullptr);
        });
        const INT_PTR nResult = dialog.DoModal();
        // The player may still be asking for the GTK thread (its last call ends the dialog).
        while (!bPlayerDone) {
            g_main_context_iteration(nullptr, TRUE);
        }
        player.join();
        m_pDialog = nullptr;
        return nResult;
    }

    void OnUiThread(const std::function<void()>& fn) override {
        if (OnUiThreadNow()) {
            fn();
            return;
        }
        struct CCall {
            const std::function<void()>* pFn;
            std::mutex mutex;
            std::condition_variable done;
            bool bDone = false;
        } call{&fn, {}, {}, false};
        g_main_context_invoke_full(
            nullptr, G_PRIORITY_DEFAULT,
            [](gpointer pData) -> gboolean {
                auto* pCall = static_cast<CCall*>(pData);
                try {
                    (*pCall->pFn)();
                } catch (...) {
                    ADD_FAILURE() << "an exception left a call on the GTK thread";
                }
                std::lock_guard<std::mutex> lock(pCall->mutex);
                pCall->bDone = true;
                pCall->done.notify_one();
                return G_SOURCE_REMOVE;
            },
            &call, nullptr);
        std::unique_lock<std::mutex> lock(call.mutex);
        call.done.wait(lock, [&] { return call.bDone; });
    }

    bool WaitFor(const std::function<bool()>& done, int nSeconds) override {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
        while (std::chrono::steady_clock::now() < deadline) {
            if (done()) {
                return true;
            }
            Pause(100);
        }
        return done();
    }
    void Settle() override { Pause(500); }

    CRect WindowRect(HWND hWnd) override {
        CRect rect;
        OnUiThread([&] {
            GtkWidget* pWidget = GtkInspectWidget(hWnd);
            if (pWidget == nullptr) {
                return;
            }
            GtkWidget* pTop = gtk_widget_get_toplevel(pWidget);
            const CRect top = XGeometry(pTop);
            if (pTop == pWidget) {
                rect = top;
                return;
            }
            // A child where GTK has laid it out in its top-level window, which is where X shows it.
            int x = 0;
            int y = 0;
            gtk_widget_translate_coordinates(pWidget, pTop, 0, 0, &x, &y);
            GtkAllocation allocation{};
            if (gtk_widget_get_child_visible(pWidget)) { // else X shows nothing of it
                gtk_widget_get_allocation(pWidget, &allocation);
            }
            rect = CRect(top.left + x, top.top + y, top.left + x + allocation.width,
                         top.top + y + allocation.height);
        });
        return rect;
    }
    CRect WorkArea() override {
        CRect rect;
        OnUiThread([&] {
            GdkDisplay* pDisplay = gdk_display_get_default();
            GdkMonitor* pMonitor = gdk_display_get_primary_monitor(pDisplay);
            if (pMonitor == nullptr) {
                pMonitor = gdk_display_get_monitor(pDisplay, 0);
            }
            GdkRectangle area{};
            gdk_monitor_get_workarea(pMonitor, &area);
            rect = CRect(area.x, area.y, area.x + area.width, area.y + area.height);
        });
        return rect;
    }
    CPixelBlock Capture(HWND hWnd, const CRect& rect) override {
        const CRect window = WindowRect(hWnd);
        CPixelBlock block;
        OnUiThread([&] {
            GdkPixbuf* pPixbuf =
                gdk_pixbuf_get_from_window(gdk_get_default_root_window(), window.left + rect.left,
                                           window.top + rect.top, rect.Width(), rect.Height());
            block = FromPixbuf(pPixbuf);
            if (pPixbuf != nullptr) {
                g_object_unref(pPixbuf);
            }
        });
        return block;
    }
    // The bounding shape the X server holds for the top-level window.
    bool InShape(HWND hWnd, CPoint pt) override {
        bool bInside = false;
        OnUiThread([&] {
            GtkWidget* pWidget = GtkInspectWidget(hWnd);
            GdkWindow* pWindow = pWidget != nullptr ? gtk_widget_get_window(pWidget) : nullptr;
            if (pWindow == nullptr) {
                return;
            }
            Display* pDisplay = GDK_DISPLAY_XDISPLAY(gdk_window_get_display(pWindow));
            const Window xid = GDK_WINDOW_XID(pWindow);
            Bool bShaped = False;
            Bool bClipShaped = False;
            int nX = 0;
            int nY = 0;
            int nClipX = 0;
            int nClipY = 0;
            unsigned nW = 0;
            unsigned nH = 0;
            unsigned nClipW = 0;
            unsigned nClipH = 0;
            XShapeQueryExtents(pDisplay, xid, &bShaped, &nX, &nY, &nW, &nH, &bClipShaped, &nClipX, &nClipY,
                               &nClipW, &nClipH);
            if (!bShaped) {
                bInside = true;
                return;
            }
            int nCount = 0;
            int nOrdering = 0;
            XRectangle* pRects = XShapeGetRectangles(pDisplay, xid, ShapeBounding, &nCount, &nOrdering);
            for (int i = 0; i < nCount && !bInside; ++i) {
                bInside = pt.x >= pRects[i].x && pt.x < pRects[i].x + pRects[i].width &&
                          pt.y >= pRects[i].y && pt.y < pRects[i].y + pRects[i].height;
            }
            if (pRects != nullptr) {
                XFree(pRects);
            }
        });
        return bInside;
    }
    CPixelBlock PictureFile(const std::string& strName) override {
        GdkPixbuf* pPixbuf =
            gdk_pixbuf_new_from_file((std::string(DRELK_RES_DIR) + "/" + strName).c_str(), nullptr);
        // A PNG with its alpha (opaque pixels where it has none); a bitmap opaque.
        const bool bPicture = !strName.ends_with(".bmp");
        CPixelBlock block = FromPixbuf(pPixbuf, bPicture);
        if (pPixbuf != nullptr) {
            if (bPicture && !gdk_pixbuf_get_has_alpha(pPixbuf)) {
                for (std::uint32_t& nPixel : block.rgb) {
                    nPixel |= 0xFF000000u;
                }
            }
            g_object_unref(pPixbuf);
        }
        return block;
    }

    // As a hand moves it: the pointer comes to rest with a last small step (GTK does not report the
    // first position after the pointer leaves the page for the frame).
    void MoveTo(HWND hWnd, CPoint pt) override {
        const CPoint screen = Screen(hWnd, pt);
        EXPECT_TRUE(RunCommand(MoveCommand(screen - CPoint(2, 0)) + "; sleep 0.1; " + MoveCommand(screen) +
                               "; sleep 0.3"));
    }
    void Click(HWND hWnd, CPoint pt) override {
        EXPECT_TRUE(RunCommand(MoveCommand(Screen(hWnd, pt)) + "; sleep 0.3; xdotool click 1; sleep 0.3"));
    }
    void DoubleClick(HWND hWnd, CPoint pt) override {
        EXPECT_TRUE(RunCommand(MoveCommand(Screen(hWnd, pt)) +
                               "; sleep 0.3; xdotool click --repeat 2 --delay 80 1; sleep 0.3"));
    }
    void Drag(HWND hWnd, CPoint from, CPoint to) override {
        const CPoint start = Screen(hWnd, from);
        std::string strCommand = MoveCommand(start) + "; sleep 0.3; xdotool mousedown 1; sleep 0.3";
        for (int nStep = 1; nStep <= 4; ++nStep) {
            const CPoint step(start.x + (to.x - from.x) * nStep / 4, start.y + (to.y - from.y) * nStep / 4);
            strCommand += "; " + MoveCommand(step) + "; sleep 0.15";
        }
        strCommand += "; sleep 0.3; xdotool mouseup 1; sleep 0.5";
        EXPECT_TRUE(RunCommand(strCommand));
    }
    void Key(HWND, UINT nVirtualKey) override {
        EXPECT_TRUE(RunCommand(std::string("xdotool key ") +
                               (nVirtualKey == VK_RETURN ? "Return" : "Escape") + "; sleep 0.3"));
    }
    // The box is the GTK backend's message dialog: read as it shows, answered with a click on the button.
    CQuestion ClickAndAnswer(HWND hWnd, CPoint pt, int nAnswer) override {
        CQuestion question;
        Click(hWnd, pt);
        GtkWidget* pBox = nullptr;
        if (!WaitFor(
                [&] {
                    OnUiThread([&] {
                        pBox =
                            FindTopLevel([](GtkWidget* pWidget) { return GTK_IS_MESSAGE_DIALOG(pWidget); });
                    });
                    return pBox != nullptr;
                },
                10)) {
            return question;
        }
        Pause(300); // laid out and given the focus by the window manager
        question.bAsked = true;
        CPoint button(-1, -1);
        OnUiThread([&] {
            if (FindTopLevel([&](GtkWidget* pWidget) { return pWidget == pBox; }) == nullptr) {
                return;
            }
            question.strCaption =
                gtk_window_get_title(GTK_WINDOW(pBox)) ? gtk_window_get_title(GTK_WINDOW(pBox)) : "";
            gchar* pszText = nullptr;
            g_object_get(pBox, "text", &pszText, nullptr);
            question.strText = pszText != nullptr ? pszText : "";
            g_free(pszText);
            const int nResponse = nAnswer == IDYES  ? GTK_RESPONSE_YES
                                  : nAnswer == IDNO ? GTK_RESPONSE_NO
                                                    : GTK_RESPONSE_OK;
            GtkWidget* pButton = gtk_dialog_get_widget_for_response(GTK_DIALOG(pBox), nResponse);
            if (pButton == nullptr || gtk_widget_get_window(pButton) == nullptr) {
                return;
            }
            GtkAllocation allocation{};
            gtk_widget_get_allocation(pButton, &allocation);
            int x = 0;
            int y = 0;
            gdk_window_get_origin(gtk_widget_get_window(pButton), &x, &y);
            button =
                CPoint(x + allocation.x + allocation.width / 2, y + allocation.y + allocation.height / 2);
        });
        EXPECT_NE(button, CPoint(-1, -1)) << "no button for the answer";
        if (button != CPoint(-1, -1)) {
            EXPECT_TRUE(RunCommand(MoveCommand(button) + "; sleep 0.2; xdotool click 1; sleep 0.3"));
        }
        EXPECT_TRUE(WaitFor(
            [&] {
                bool bGone = false;
                OnUiThread([&] {
                    bGone = FindTopLevel([&](GtkWidget* pWidget) { return pWidget == pBox; }) == nullptr;
                });
                return bGone;
            },
            10));
        return question;
    }
    // The system menu is the GTK backend's popup menu; Escape dismisses it, as a player would.
    bool SystemMenuShown() override {
        const auto menuShown = [&] {
            bool bShown = false;
            OnUiThread([&] {
                bShown = FindTopLevel([](GtkWidget* pWidget) {
                             GtkWidget* pChild = gtk_bin_get_child(GTK_BIN(pWidget));
                             return pChild != nullptr && GTK_IS_MENU(pChild);
                         }) != nullptr;
            });
            return bShown;
        };
        const bool bShown = WaitFor(menuShown, 5);
        if (bShown) {
            Pause(300);
            EXPECT_TRUE(RunCommand("xdotool key Escape; sleep 0.3"));
            EXPECT_TRUE(WaitFor([&] { return !menuShown(); }, 5));
        }
        return bShown;
    }

    std::string WaitForOpenedPage(int nSeconds) override {
        const std::vector<std::string> fields = WaitForRecord(nSeconds);
        return fields.size() > 2 ? fields[2] : "";
    }
    std::size_t GameAddressRequests() override {
        std::size_t nRequests = 0;
        for (const std::string& strRequest : m_server.Requests()) {
            nRequests +=
                CLoopbackServer::RequestLine(strRequest) == std::string("GET ") + kGamePath + " HTTP/1.1";
        }
        return nRequests;
    }
    std::string WaitForRelaunch() override {
        const std::vector<std::string> fields = WaitForRecord(20);
        return fields.size() > 1 ? fields[1] : "";
    }
    std::string LauncherPath() const override {
        return CClientConfig::Instance()->ProgramDirectory() + "\\" + kRelaunchName;
    }
    bool AddCacheEntry(const std::string&) override { return false; }
    // Whether WebKit holds cached resources of the address's site.
    bool InCache(const std::string& strUrl) override {
        const std::string strHost = HostOf(strUrl);
        auto pAnswer = std::make_shared<CAsyncAnswer>();
        OnUiThread([&] {
            const auto types = static_cast<WebKitWebsiteDataTypes>(WEBKIT_WEBSITE_DATA_MEMORY_CACHE |
                                                                   WEBKIT_WEBSITE_DATA_DISK_CACHE);
            struct CFetch {
                std::shared_ptr<CAsyncAnswer> pAnswer;
                std::string strHost;
            };
            webkit_website_data_manager_fetch(
                GtkInspectWebsiteData(), types, nullptr,
                [](GObject* pSource, GAsyncResult* pResult, gpointer pData) {
                    std::unique_ptr<CFetch> pFetch(static_cast<CFetch*>(pData));
                    GList* pList = webkit_website_data_manager_fetch_finish(
                        WEBKIT_WEBSITE_DATA_MANAGER(pSource), pResult, nullptr);
                    for (GList* p = pList; p != nullptr; p = p->next) {
                        auto* pSite = static_cast<WebKitWebsiteData*>(p->data);
                        pFetch->pAnswer->bYes =
                            pFetch->pAnswer->bYes || pFetch->strHost == webkit_website_data_get_name(pSite);
                    }
                    g_list_free_full(pList, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref));
                    pFetch->pAnswer->bDone = true;
                },
                new CFetch{pAnswer, strHost});
        });
        EXPECT_TRUE(WaitFor([&] { return pAnswer->bDone.load(); }, 10));
        return pAnswer->bYes;
    }
    // A cookie in WebKit's cookie store, as a response's Set-Cookie would leave it.
    bool SetCookie(const std::string& strUrl, const std::string& strName,
                   const std::string& strData) override {
        auto pAnswer = std::make_shared<CAsyncAnswer>();
        OnUiThread([&] {
            GUri* pUri = g_uri_parse(strUrl.c_str(), G_URI_FLAGS_NONE, nullptr);
            SoupCookie* pCookie =
                pUri != nullptr ? soup_cookie_parse((strName + "=" + strData).c_str(), pUri) : nullptr;
            if (pUri != nullptr) {
                g_uri_unref(pUri);
            }
            if (pCookie == nullptr) {
                pAnswer->bDone = true;
                return;
            }
            webkit_cookie_manager_add_cookie(
                CookieManager(), pCookie, nullptr,
                [](GObject* pSource, GAsyncResult* pResult, gpointer pData) {
                    std::unique_ptr<std::shared_ptr<CAsyncAnswer>> pHeld(
                        static_cast<std::shared_ptr<CAsyncAnswer>*>(pData));
                    (*pHeld)->bYes = webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(pSource),
                                                                             pResult, nullptr) != FALSE;
                    (*pHeld)->bDone = true;
                },
                new std::shared_ptr<CAsyncAnswer>(pAnswer));
            soup_cookie_free(pCookie);
        });
        EXPECT_TRUE(WaitFor([&] { return pAnswer->bDone.load(); }, 10));
        return pAnswer->bYes;
    }
    bool HasCookie(const std::string& strUrl, const std::string& strName) override {
        auto pAnswer = std::make_shared<CAsyncAnswer>();
        OnUiThread([&] {
            struct CGet {
                std::shared_ptr<CAsyncAnswer> pAnswer;
                std::string strName;
            };
            webkit_cookie_manager_get_cookies(
                CookieManager(), strUrl.c_str(), nullptr,
                [](GObject* pSource, GAsyncResult* pResult, gpointer pData) {
                    std::unique_ptr<CGet> pGet(static_cast<CGet*>(pData));
                    GList* pList = webkit_cookie_manager_get_cookies_finish(WEBKIT_COOKIE_MANAGER(pSource),
                                                                            pResult, nullptr);
                    for (GList* p = pList; p != nullptr; p = p->next) {
                        pGet->pAnswer->bYes =
                            pGet->pAnswer->bYes ||
                            pGet->strName == soup_cookie_get_name(static_cast<SoupCookie*>(p->data));
                    }
                    g_list_free_full(pList, reinterpret_cast<GDestroyNotify>(soup_cookie_free));
                    pGet->pAnswer->bDone = true;
                },
                new CGet{pAnswer, strName});
        });
        EXPECT_TRUE(WaitFor([&] { return pAnswer->bDone.load(); }, 10));
        return pAnswer->bYes;
    }
    // The web view has finished loading the game address and shows the game page's title.
    bool WaitForGamePage() override {
        const std::string strTitle = AfxUtf16ToCodePage(CP_UTF8, kGamePageTitle);
        const std::string strAddress = GameAddress();
        return WaitFor(
            [&] {
                bool bShown = false;
                OnUiThread([&] {
                    HWND hBrowser = m_pDialog != nullptr && m_pDialog->m_hWnd != nullptr
                                        ? m_pDialog->GetDlgItemHandle(AFX_IDC_BROWSER)
                                        : nullptr;
                    GtkWidget* pWidget = hBrowser != nullptr ? GtkInspectWidget(hBrowser) : nullptr;
                    if (pWidget == nullptr || !WEBKIT_IS_WEB_VIEW(pWidget)) {
                        return;
                    }
                    WebKitWebView* pView = WEBKIT_WEB_VIEW(pWidget);
                    const char* pszUri = webkit_web_view_get_uri(pView);
                    const char* pszTitle = webkit_web_view_get_title(pView);
                    bShown = !webkit_web_view_is_loading(pView) && pszUri != nullptr &&
                             strAddress == pszUri && pszTitle != nullptr && strTitle == pszTitle;
                });
                return bShown;
            },
            20);
    }

private:
    static std::string GamePageResponse() {
        const std::string strBody =
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" +
            AfxUtf16ToCodePage(CP_UTF8, kGamePageTitle) +
            "</title></head><body style=\"background:#203040;color:#fff\">game</body></html>";
        return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
               std::to_string(strBody.size()) + "\r\nConnection: close\r\n\r\n" + strBody;
    }
    static std::string HostOf(const std::string& strUrl) {
        const std::size_t nStart = strUrl.find("://");
        const std::size_t nHost = nStart == std::string::npos ? 0 : nStart + 3;
        const std::size_t nEnd = strUrl.find_first_of(":/?", nHost);
        return strUrl.substr(nHost, nEnd == std::string::npos ? std::string::npos : nEnd - nHost);
    }
    static WebKitCookieManager* CookieManager() {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        return webkit_website_data_manager_get_cookie_manager(GtkInspectWebsiteData());
        G_GNUC_END_IGNORE_DEPRECATIONS
    }
    // The real X rectangle of a top-level widget's window, in root coordinates.
    static CRect XGeometry(GtkWidget* pTop) {
        GdkWindow* pWindow = gtk_widget_get_window(pTop);
        if (pWindow == nullptr) {
            return CRect();
        }
        Display* pDisplay = GDK_DISPLAY_XDISPLAY(gdk_window_get_display(pWindow));
        const Window xid = GDK_WINDOW_XID(pWindow);
        Window root = 0;
        int x = 0;
        int y = 0;
        unsigned nWidth = 0;
        unsigned nHeight = 0;
        unsigned nBorder = 0;
        unsigned nDepth = 0;
        if (!XGetGeometry(pDisplay, xid, &root, &x, &y, &nWidth, &nHeight, &nBorder, &nDepth)) {
            return CRect();
        }
        Window child = 0;
        XTranslateCoordinates(pDisplay, xid, root, 0, 0, &x, &y, &child);
        return CRect(x, y, x + int(nWidth), y + int(nHeight));
    }
    // Waits on the player's thread; on the GTK thread the loop runs meanwhile.
    static void Pause(int nMilliseconds) {
        if (!OnUiThreadNow()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(nMilliseconds));
            return;
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMilliseconds);
        while (std::chrono::steady_clock::now() < until) {
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // The recorder's next record (the default browser's or the relaunch's), taken away once read.
    std::vector<std::string> WaitForRecord(int nSeconds) {
        if (!WaitFor([] { return access(g_strRecordFile.c_str(), F_OK) == 0; }, nSeconds)) {
            return {};
        }
        const std::string strRecord = ReadWholeFile(g_strRecordFile);
        std::remove(g_strRecordFile.c_str());
        return RecordFields(strRecord);
    }
    CPoint Screen(HWND hWnd, CPoint pt) { return WindowRect(hWnd).TopLeft() + pt; }
    static void ResetSettings() {
        delete g_pClientConfig;
        g_pClientConfig = nullptr;
        delete g_pClientReporter;
        g_pClientReporter = nullptr;
    }

    CLoopbackServer m_server;
    std::unique_ptr<CDrelkClientApp> m_pApp;
    CDialog* m_pDialog = nullptr;
};

// A home of the process's own: WebKit's data and caches, and the recorder registered as the default
// browser for http and https through the desktop entry and mimeapps.list that GIO reads.
bool PrepareHome() {
    char szHome[] = "/tmp/drelk-gtk-scenarios-XXXXXX";
    if (mkdtemp(szHome) == nullptr) {
        return false;
    }
    g_strHome = szHome;
    const std::filesystem::path home(g_strHome);
    const std::filesystem::path data = home / ".local/share";
    const std::filesystem::path config = home / ".config";
    const std::filesystem::path cache = home / ".cache";
    std::filesystem::create_directories(data / "applications");
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(cache);
    std::ofstream(data / "applications/drelk-test-browser.desktop")
        << "[Desktop Entry]\nType=Application\nName=Test browser\nExec=" << DRELK_RECORD_ARGS
        << " %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;\n";
    std::ofstream(config / "mimeapps.list") << "[Default Applications]\n"
                                               "x-scheme-handler/http=drelk-test-browser.desktop\n"
                                               "x-scheme-handler/https=drelk-test-browser.desktop\n";
    g_strRecordFile = (home / "record").string();
    setenv("HOME", g_strHome.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    setenv("DRELK_RECORD_FILE", g_strRecordFile.c_str(), 1);
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 1);
    // No accessibility bus on the virtual screen: the bridge's attempt only leaves its allocations.
    setenv("NO_AT_BRIDGE", "1", 1);
    // WebKit sends even loopback traffic through a proxy.
    for (const char* pszName :
         {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"}) {
        unsetenv(pszName);
    }
    return true;
}

} // namespace

std::unique_ptr<CScenarioDriver> MakeScenarioDriver() { return std::make_unique<CGtkDriver>(); }

int main(int argc, char** argv) {
    // The process code page is the locale's, and the scenarios' texts are UTF-8.
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) {
        std::setlocale(LC_ALL, "C.UTF-8");
    }
    if (!PrepareHome()) {
        std::fprintf(stderr, "cannot make the scenarios' home folder\n");
        return 1;
    }
    g_uiThread = std::this_thread::get_id();
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "cannot open the X display (run under xvfb-run)\n");
        return 1;
    }
    ::testing::InitGoogleMock(&argc, argv);
    const int nResult = RUN_ALL_TESTS();
    std::error_code error;
    std::filesystem::remove_all(g_strHome, error);
    return nResult;
}
