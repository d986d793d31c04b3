// The machine identity and the one-time report of the first start, made on the platform "baidu".
#pragma once

#include <string>

class CClientReporter {
public:
    // The singleton, constructed first if it does not exist yet.
    static CClientReporter* Instance();

    // Twelve upper-case hexadecimal digits of the first adapter's hardware address, or the empty
    // string when no adapter can be had.
    std::string GetMacAddressText();

    // Sends the report once (platform "baidu", "firstopen" not "false", "success" set) and appends
    // "firstopen=false" to the settings file.
    void ReportFirstOpen();

    // GETs the address and reads the response to its end. A failure to open the address is
    // swallowed; a failed session or a transfer broken off after the response head throws
    // CInternetException.
    void HitUrl(std::string strUrl);

    // The current time in UTC+8, "hh:mm:ss GMT+0800".
    std::string ReportTimeText();
};

// The instance's storage; set during static initialisation, never freed.
extern CClientReporter* g_pClientReporter;
