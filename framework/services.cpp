// The public calls of services.h, on the window system's.
#include "framework/services.h"

#include "framework/codepage.h"
#include "framework/window_system.h"

CPlatformServices& AfxGetPlatformServices() { return WsGetPlatformServices(); }

std::string AfxQuoteCommandLineArgument(const std::string& strArgument) {
    if (!strArgument.empty() && strArgument.find_first_of(" \t\"") == std::string::npos) {
        return strArgument;
    }
    std::string strQuoted = "\"";
    std::size_t nBackslashes = 0; // those just written, each a character of its own
    for (std::size_t i = 0; i < strArgument.size();) {
        const std::size_t nLength = AfxCharLength(CP_ACP, strArgument, i);
        if (nLength == 1 && strArgument[i] == '"') {
            strQuoted.append(nBackslashes + 1, '\\');
        }
        nBackslashes = nLength == 1 && strArgument[i] == '\\' ? nBackslashes + 1 : 0;
        strQuoted.append(strArgument, i, nLength);
        i += nLength;
    }
    strQuoted.append(nBackslashes, '\\');
    strQuoted += '"';
    return strQuoted;
}
