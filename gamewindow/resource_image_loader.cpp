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
        CMemoryStream* pStream = AfxCreateMemoryStream();
        if (AfxFindResource(static_cast<UINT>(nID), "PNG", pData, nSize)) {
            pStream->SetSize(nSize);
            pStream->Write(pData, nSize);
        }
        Gdi::Image* pImage = Gdi::Image::FromStream(pStream);
        pStream->Release();
        return pImage;
    }
    CBitmap bitmap;
    bitmap.LoadBitmap(static_cast<UINT>(nID));
    m_images[szKey] = new (std::nothrow) Gdi::Bitmap(bitmap, nullptr);
    return m_images[szKey];
}
