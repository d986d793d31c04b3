// Pictures of the program's resources for the game window: the skin (PNG, decoded anew for every
// request) and the caption strips (bitmaps, converted once and kept).
#pragma once

#include "framework/graphics.h"

#include <map>
#include <string>

class CResourceImageLoader {
public:
    // The one loader, constructed (and drawing started) on the first call.
    static CResourceImageLoader* Instance();

    // The picture of resource nID; it lives until the process ends. Null only when the picture
    // object cannot be allocated.
    Gdi::Image* GetImage(int nID);

    std::map<std::string, Gdi::Image*> m_images; // bitmap pictures by "%d" key
    UINT_PTR m_gdiplusToken = 0;

private:
    CResourceImageLoader();
};

// The loader's storage; null until the first use, never freed.
extern CResourceImageLoader* g_pResourceImageLoader;
