// Pictures for the model: decoded by gdk-pixbuf (no display needed), handed over as cairo surfaces.
//
// Realises: decoding of whatever gdk-pixbuf's loaders read (the program's PNG pictures, bitmaps and
// icons), the alpha kept straight or premultiplied as asked; the program's pictures decoded ahead
// on a worker thread while the window system starts. Does not realise: animation (a first frame).
#include "framework/emulated/surfaces.h"

#include "framework/startup_trace.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Writes one pixbuf pixel into the 32-bit layout (0xAARRGGBB in native order), optionally
// premultiplied: the one conversion between gdk-pixbuf's bytes and cairo's.
inline std::uint32_t PackPixel(const guchar* p, bool bAlpha, bool bPremultiply) {
    const std::uint32_t a = bAlpha ? p[3] : 255;
    std::uint32_t r = p[0];
    std::uint32_t g = p[1];
    std::uint32_t b = p[2];
    if (bPremultiply && a != 255) {
        r = (r * a + 127) / 255;
        g = (g * a + 127) / 255;
        b = (b * a + 127) / 255;
    }
    return (a << 24) | (r << 16) | (g << 8) | b;
}

CSurfaceRef Decode(const BYTE* pData, std::size_t nSize, bool bPremultiply) {
    if (pData == nullptr || nSize == 0) {
        return CSurfaceRef();
    }
    GdkPixbufLoader* pLoader = gdk_pixbuf_loader_new();
    const bool bWritten = gdk_pixbuf_loader_write(pLoader, pData, nSize, nullptr) != FALSE;
    const bool bClosed = gdk_pixbuf_loader_close(pLoader, nullptr) != FALSE;
    GdkPixbuf* pPixbuf = bWritten && bClosed ? gdk_pixbuf_loader_get_pixbuf(pLoader) : nullptr;
    CSurfaceRef surface;
    if (pPixbuf != nullptr && gdk_pixbuf_get_bits_per_sample(pPixbuf) == 8 &&
        gdk_pixbuf_get_colorspace(pPixbuf) == GDK_COLORSPACE_RGB) {
        surface = ModelCreateSurface(gdk_pixbuf_get_width(pPixbuf), gdk_pixbuf_get_height(pPixbuf));
    }
    if (surface) {
        const int nChannels = gdk_pixbuf_get_n_channels(pPixbuf);
        const int nStride = gdk_pixbuf_get_rowstride(pPixbuf);
        const bool bAlpha = gdk_pixbuf_get_has_alpha(pPixbuf) != FALSE;
        const guchar* pBits = gdk_pixbuf_read_pixels(pPixbuf);
        unsigned char* pTarget = cairo_image_surface_get_data(surface.Get());
        const int nTargetStride = cairo_image_surface_get_stride(surface.Get());
        for (int y = 0; y < surface.Height(); ++y) {
            auto* pRow = reinterpret_cast<std::uint32_t*>(pTarget + y * nTargetStride);
            for (int x = 0; x < surface.Width(); ++x) {
                pRow[x] = PackPixel(pBits + y * nStride + x * nChannels, bAlpha, bPremultiply);
            }
        }
        cairo_surface_mark_dirty(surface.Get());
    }
    g_object_unref(pLoader);
    AfxTraceStartup("picture-decoded");
    return surface;
}

// A picture being decoded ahead of need, with straight colours; handed out once.
struct CAheadPicture {
    const BYTE* pData;
    std::size_t nSize;
    std::shared_future<CSurfaceRef> result;
};

struct CAheadPictures {
    std::mutex mutex;
    std::vector<CAheadPicture> pictures;
};

// Never destroyed: the worker may still be decoding when the program ends.
CAheadPictures& Ahead() {
    static auto* s_pAhead = new CAheadPictures;
    return *s_pAhead;
}

// The worker's result for these bytes, taken out of the list, or an invalid future.
std::shared_future<CSurfaceRef> TakeAhead(const BYTE* pData, std::size_t nSize) {
    CAheadPictures& ahead = Ahead();
    std::lock_guard<std::mutex> lock(ahead.mutex);
    for (auto it = ahead.pictures.begin(); it != ahead.pictures.end(); ++it) {
        if (it->nSize == nSize && (it->pData == pData || std::memcmp(it->pData, pData, nSize) == 0)) {
            std::shared_future<CSurfaceRef> result = it->result;
            ahead.pictures.erase(it);
            return result;
        }
    }
    return {};
}

} // namespace

void ModelDecodeAhead(const std::vector<std::pair<const BYTE*, std::size_t>>& pictures) {
    auto pPromises = std::make_shared<std::vector<std::promise<CSurfaceRef>>>(pictures.size());
    {
        CAheadPictures& ahead = Ahead();
        std::lock_guard<std::mutex> lock(ahead.mutex);
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            ahead.pictures.push_back(
                {pictures[i].first, pictures[i].second, (*pPromises)[i].get_future().share()});
        }
    }
    try {
        std::thread([pictures, pPromises] {
            for (std::size_t i = 0; i < pictures.size(); ++i) {
                (*pPromises)[i].set_value(Decode(pictures[i].first, pictures[i].second, false));
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread: the promises are broken and every picture is decoded when it is asked for.
    }
}

CSurfaceRef ModelDecodePicture(const BYTE* pData, std::size_t nSize, bool bPremultiply) {
    if (pData == nullptr || nSize == 0) {
        return CSurfaceRef();
    }
    if (std::shared_future<CSurfaceRef> ahead = TakeAhead(pData, nSize); ahead.valid()) {
        try {
            CSurfaceRef surface = ahead.get();
            if (surface && bPremultiply) {
                ModelPremultiplyInPlace(surface.Get());
            }
            return surface;
        } catch (const std::future_error&) {
            // the worker never ran: decoded here
        }
    }
    return Decode(pData, nSize, bPremultiply);
}

void ModelPremultiplyInPlace(cairo_surface_t* pSurface) {
    if (pSurface == nullptr) {
        return;
    }
    cairo_surface_flush(pSurface);
    const int nWidth = cairo_image_surface_get_width(pSurface);
    const int nHeight = cairo_image_surface_get_height(pSurface);
    unsigned char* pData = cairo_image_surface_get_data(pSurface);
    const int nStride = cairo_image_surface_get_stride(pSurface);
    for (int y = 0; y < nHeight; ++y) {
        auto* pRow = reinterpret_cast<std::uint32_t*>(pData + y * nStride);
        for (int x = 0; x < nWidth; ++x) {
            const std::uint32_t v = pRow[x];
            const guchar rgba[4] = {guchar(v >> 16), guchar(v >> 8), guchar(v), guchar(v >> 24)};
            pRow[x] = PackPixel(rgba, true, true);
        }
    }
    cairo_surface_mark_dirty(pSurface);
}
