// The launcher's first address from any command line and any settings file, in the code pages the
// program runs in.
//
// Input: one control byte, then three fields separated by NUL bytes (a command line has none):
//   byte 0, bits 0-2: the platform (0 and 7: as the settings file leaves it, else one of kPlatforms)
//   byte 0, bits 3-4: the network adapters (none, a failing query, one, two)
//   the command line, NUL, the text of pm_config.ini, NUL, the first adapter's address bytes
//
// The markers "-url", '"', blank and tab are ASCII, and an ASCII byte is never the trail byte of a
// GBK or UTF-8 character, so the address must come out the same in code pages 936, 65001 and 1252.
#include "fuzz/fuzz_support.h"

#include "framework/app.h"
#include "framework/headless/headless_platform.h"
#include "settings/client_config.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kSettingsPath = "C:\\Drelk\\pm_config.ini";
constexpr const char* kPlatforms[] = {nullptr, "360", "baidu", "6711", "", "360 ", "Baidu", nullptr};
constexpr UINT kCodePages[] = {936, CP_UTF8, 1252};

struct CStart {
    std::string strPage;
    std::string strPlatform;
    std::string strAddress;
};

struct CCase {
    std::string strCommandLine;
    std::string strSettings;
    const char* pszPlatform = nullptr;
    unsigned nAdapters = 0;
    std::vector<BYTE> address;
};

CStart StartPage(const CCase& c, UINT nCodePage) {
    FuzzResetProcess();
    CHeadlessPlatform& platform = Headless();
    platform.nCodePage = nCodePage;
    platform.files.m_files[kSettingsPath].strBytes = c.strSettings;
    switch (c.nAdapters) {
    case 1:
        platform.adapters.m_bQueryFails = true;
        platform.adapters.m_adapters = {{"eth0", c.address}};
        break;
    case 2:
        platform.adapters.m_adapters = {{"eth0", c.address}};
        break;
    case 3:
        platform.adapters.m_adapters = {{"eth0", c.address}, {"eth1", {1, 2, 3, 4, 5, 6}}};
        break;
    default:
        break;
    }
    CWinApp app;
    AfxWinInit(&app, c.strCommandLine);
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->SetDefaults();
    pConfig->ReadSettingsFile();
    if (c.pszPlatform != nullptr) {
        pConfig->SetValue("platform", c.pszPlatform);
    }
    CStart start{pConfig->GetValue("page"), pConfig->GetValue("platform"), pConfig->StartPage()};
    FuzzResetProcess();
    return start;
}

std::string WithoutQuotes(const std::string& strText) {
    std::string strResult;
    for (char ch : strText) {
        if (ch != '"') {
            strResult += ch;
        }
    }
    return strResult;
}

// The machine identity: the first adapter's first six bytes (missing ones as zero) in upper-case
// hexadecimal, or nothing when there is no adapter.
std::string MacText(const CCase& c) {
    if (c.nAdapters < 2) {
        return {};
    }
    std::string strText;
    for (std::size_t i = 0; i < 6; ++i) {
        char szByte[3];
        std::snprintf(szByte, sizeof(szByte), "%02X", i < c.address.size() ? c.address[i] : 0);
        strText += szByte;
    }
    return strText;
}

void CheckStart(const CCase& c, const CStart& start) {
    if (start.strPlatform == "baidu") {
        FUZZ_CHECK(start.strAddress == start.strPage + "&mac=" + MacText(c));
        return;
    }
    if (start.strPlatform != "360") {
        FUZZ_CHECK(start.strAddress == start.strPage);
        return;
    }
    const std::string& strLine = c.strCommandLine;
    const std::size_t nMarker = strLine.find("-url");
    if (nMarker == std::string::npos) {
        FUZZ_CHECK(start.strAddress == start.strPage);
        return;
    }
    // The first "-url": a double quote after it gives everything from that quote on, quotes removed;
    // otherwise the blank-separated word right after the marker, if there is one.
    const std::size_t nQuote = strLine.find('"', nMarker);
    if (nQuote != std::string::npos) {
        FUZZ_CHECK(start.strAddress == WithoutQuotes(strLine.substr(nQuote)));
        return;
    }
    const std::size_t nWord = strLine.find_first_not_of(" \t", nMarker + 4);
    if (nWord == std::string::npos) {
        FUZZ_CHECK(start.strAddress == start.strPage);
        return;
    }
    const std::string strWord = strLine.substr(nWord, strLine.find_first_of(" \t", nWord) - nWord);
    FUZZ_CHECK(!strWord.empty());
    FUZZ_CHECK(start.strAddress == strWord);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    CFuzzInput input(pData, nSize);
    const unsigned char byteControl = input.Byte();
    CCase c;
    c.pszPlatform = kPlatforms[byteControl & 7];
    c.nAdapters = (byteControl >> 3) & 3;
    c.strCommandLine = input.Field('\0');
    c.strSettings = input.Field('\0');
    const std::string strAddress = input.Rest();
    c.address.assign(strAddress.begin(), strAddress.end());

    std::string strFirst;
    for (std::size_t i = 0; i < std::size(kCodePages); ++i) {
        const CStart start = StartPage(c, kCodePages[i]);
        CheckStart(c, start);
        if (i == 0) {
            strFirst = start.strAddress;
        } else {
            FUZZ_CHECK(start.strAddress == strFirst);
        }
    }
    return 0;
}
