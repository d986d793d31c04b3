// Pictures through gdk-pixbuf: PNG with its alpha, ICO (the largest image).
#include "framework/gdi.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

bool AfxDecodeImage(const BYTE* pData, std::size_t nSize, CPixels& pixels) {
    GdkPixbufLoader* pLoader = gdk_pixbuf_loader_new();
    const bool bWritten = gdk_pixbuf_loader_write(pLoader, pData, nSize, nullptr) != FALSE;
    const bool bClosed = gdk_pixbuf_loader_close(pLoader, nullptr) != FALSE;
    GdkPixbuf* pPixbuf = bWritten && bClosed ? gdk_pixbuf_loader_get_pixbuf(pLoader) : nullptr;
    if (pPixbuf == nullptr || gdk_pixbuf_get_bits_per_sample(pPixbuf) != 8) {
        g_object_unref(pLoader);
        return false;
    }
    const int nWidth = gdk_pixbuf_get_width(pPixbuf);
    const int nHeight = gdk_pixbuf_get_height(pPixbuf);
    const int nChannels = gdk_pixbuf_get_n_channels(pPixbuf);
    const int nStride = gdk_pixbuf_get_rowstride(pPixbuf);
    const bool bAlpha = gdk_pixbuf_get_has_alpha(pPixbuf) != FALSE;
    const guchar* pBits = gdk_pixbuf_read_pixels(pPixbuf);
    pixels = CPixels(nWidth, nHeight);
    for (int y = 0; y < nHeight; ++y) {
        for (int x = 0; x < nWidth; ++x) {
            const guchar* p = pBits + y * nStride + x * nChannels;
            pixels.At(x, y) = AfxArgb(bAlpha ? p[3] : 255, p[0], p[1], p[2]);
        }
    }
    g_object_unref(pLoader);
    return true;
}
