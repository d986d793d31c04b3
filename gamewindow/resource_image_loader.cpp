#include "gamewindow/resource_image_loader.h"

#include "framework/resources.h"
#include "res/resource.h"

#include <cstdio>
#include <new>

CResourceImageLoader* g_pResourceImageLoader = nullptr;

CResourceImageLoader* CResourceImageLoader::Instance() {
    if (g_pResourceImageLoader == nullptr) {
        g_pResourceImageLoader = new CResourceImageLoader;
    }
    return g_pResourceImageLoader;
}

CResourceImageLoader::CResourceImageLoader() { Gdi::Startup(&m_gdiplusToken); }

Gdi::Image* CResourceImageLoader::GetImage(int nID) {
    char szKey[16];
    std::snprintf(szKey, sizeof(szKey), "%d", nID);
    if (auto it = m_images.find(szKey); it != m_images.end()) {
        return it->second;
    }
    if (nID == IDB_SKIN) {
        // Every request decodes the PNG again; the caller keeps the picture.
        const BYTE* pData = nullptr;
        std::size_t nSize = 0;
        CPixels pixels;
        const bool bLoaded = AfxFindResource(static_cast<UINT>(nID), "PNG", pData, nSize) &&
                             AfxDecodeImage(pData, nSize, pixels);
        return new (std::nothrow) Gdi::Image(std::move(pixels), bLoaded ? Gdi::Ok : Gdi::GenericError);
    }
    CBitmap bitmap;
    bitmap.LoadBitmap(static_cast<UINT>(nID));
    m_images[szKey] = new (std::nothrow) Gdi::Bitmap(&bitmap);
    return m_images[szKey];
}
