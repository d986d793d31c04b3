// The public calls of services.h, on the window system's.
#include "framework/services.h"

#include "framework/window_system.h"

CPlatformServices& AfxGetPlatformServices() { return WsGetPlatformServices(); }
