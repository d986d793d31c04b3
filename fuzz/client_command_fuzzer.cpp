// The game client's start for any login address: the program is always the game client, the
// argument vector (Linux) is exactly {"p", address}, and the command line (Windows) splits back,
// by the rules Windows programs split theirs with (CommandLineToArgvW), into exactly an empty
// program name (the line starts with a blank), "p" and the address.
//
// Input: byte 0: bits 0-1 the code page (936, UTF-8, 1252), bit 2 raw mode; then the page's
// address and its title, separated by a byte 0xFF. Outside raw mode both are UTF-16 (pairs of bytes,
// little-endian), made into the process code page as the browser's events are; in raw mode they are
// taken as bytes of code page 1252, where every byte is a character.
#include "fuzz/fuzz_support.h"

#include "framework/codepage.h"
#include "framework/headless/headless_platform.h"
#include "launcher/login_rules.h"
#include "launcher/process_launch.h"

#include <string>
#include <vector>

namespace {

constexpr UINT kCodePages[] = {936, CP_UTF8, 1252, 936};

std::u16string Utf16Of(const std::string& strBytes) {
    std::u16string strText;
    for (std::size_t i = 0; i + 1 < strBytes.size(); i += 2) {
        strText += static_cast<char16_t>(static_cast<unsigned char>(strBytes[i]) |
                                         static_cast<unsigned char>(strBytes[i + 1]) << 8);
    }
    return strText;
}

bool IsBlank(char16_t ch) { return ch == u' ' || ch == u'\t'; }

// A command line split as CommandLineToArgvW splits it: the program name up to the first blank
// (or within its quotes), then arguments separated by blanks, where 2n backslashes and a quote give
// n backslashes and the quote opens or closes a quoted part, 2n+1 backslashes and a quote give n
// backslashes and a quote, other backslashes are themselves, and "" inside quotes is a quote.
std::vector<std::u16string> SplitCommandLine(const std::u16string& strLine) {
    std::vector<std::u16string> pieces;
    std::size_t i = 0;
    std::u16string strProgram;
    if (i < strLine.size() && strLine[i] == u'"') {
        for (++i; i < strLine.size() && strLine[i] != u'"'; ++i) {
            strProgram += strLine[i];
        }
        i += i < strLine.size() ? 1 : 0;
    } else {
        for (; i < strLine.size() && !IsBlank(strLine[i]); ++i) {
            strProgram += strLine[i];
        }
    }
    pieces.push_back(strProgram);
    for (;;) {
        while (i < strLine.size() && IsBlank(strLine[i])) {
            ++i;
        }
        if (i == strLine.size()) {
            return pieces;
        }
        std::u16string strPiece;
        bool bQuoted = false;
        while (i < strLine.size() && (bQuoted || !IsBlank(strLine[i]))) {
            std::size_t nBackslashes = 0;
            while (i < strLine.size() && strLine[i] == u'\\') {
                ++nBackslashes;
                ++i;
            }
            if (i < strLine.size() && strLine[i] == u'"') {
                strPiece.append(nBackslashes / 2, u'\\');
                if (nBackslashes % 2 == 1) {
                    strPiece += u'"';
                } else if (bQuoted && i + 1 < strLine.size() && strLine[i + 1] == u'"') {
                    strPiece += u'"';
                    ++i;
                } else {
                    bQuoted = !bQuoted;
                }
                ++i;
            } else {
                strPiece.append(nBackslashes, u'\\');
                if (i < strLine.size() && (bQuoted || !IsBlank(strLine[i]))) {
                    strPiece += strLine[i];
                    ++i;
                }
            }
        }
        pieces.push_back(strPiece);
    }
}

void CheckStart(UINT nCodePage, const std::string& strUrl, const std::string& strTitle, bool bLinux) {
    FuzzResetProcess();
    CHeadlessPlatform& platform = Headless();
    platform.nCodePage = nCodePage;
    platform.module.m_strPath = "D:\\Games\\Drelk\\Drelk.exe";
    platform.processes.m_strSuffix = bLinux ? "" : ".exe";
    const std::string strAddress = ComposeLoginAddress(strUrl, strTitle);
    LaunchGameClient(strAddress);
    FUZZ_CHECK(platform.processes.m_started.size() == 1);
    const CProcessStart& start = platform.processes.m_started[0];
    FUZZ_CHECK(start.strApplication ==
               std::string("D:\\Games\\Drelk\\game\\DrelkClient") + (bLinux ? "" : ".exe"));
    FUZZ_CHECK(start.vecArguments.size() == 2);
    FUZZ_CHECK(start.vecArguments[0] == "p");
    FUZZ_CHECK(start.vecArguments[1] == strAddress);

    const std::vector<std::u16string> pieces =
        SplitCommandLine(AfxCodePageToUtf16(CP_ACP, start.strCommandLine));
    FUZZ_CHECK(pieces.size() == 3);
    FUZZ_CHECK(pieces[0].empty());
    FUZZ_CHECK(pieces[1] == u"p");
    FUZZ_CHECK(pieces[2] == AfxCodePageToUtf16(CP_ACP, strAddress));
    FuzzResetProcess();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    CFuzzInput input(pData, nSize);
    const unsigned char control = input.Byte();
    const bool bRaw = (control & 4) != 0;
    const UINT nCodePage = bRaw ? 1252 : kCodePages[control & 3];
    std::string strUrl = input.Field('\xFF');
    std::string strTitle = input.Rest();
    if (!bRaw) {
        FuzzResetProcess();
        Headless().nCodePage = nCodePage;
        strUrl = AfxUtf16ToCodePage(CP_ACP, Utf16Of(strUrl));
        strTitle = AfxUtf16ToCodePage(CP_ACP, Utf16Of(strTitle));
    }
    for (bool bLinux : {false, true}) {
        CheckStart(nCodePage, strUrl, strTitle, bLinux);
    }
    return 0;
}
