// Login navigations and the code-page aware searches under them, for any URL and title bytes.
//
// Input: one control byte, then the URL, a NUL byte, and the title (also used as a search needle).
//   byte 0, bits 0-1: the process code page (936, 65001, 1252, 936)
//   byte 0, bits 2-7: where a needle cut out of the URL starts and how long it is
//
// Every search result is checked against the character boundaries found by walking the text with
// AfxCharLength from its start: a match starts on a boundary, holds the needle's bytes, and no
// earlier boundary holds them.
#include "fuzz/fuzz_support.h"

#include "framework/codepage.h"
#include "framework/headless/headless_platform.h"
#include "launcher/login_rules.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr UINT kCodePages[] = {936, CP_UTF8, 1252, 936};

// Platforms that have no rule, whatever they resemble.
constexpr const char* kPlatformsWithoutRule[] = {"", "Baidu", "360 ", "login.php"};

// bBoundary[i]: a character starts at i (i == size included). Checks AfxCharLength on the way.
std::vector<bool> Boundaries(UINT nCodePage, std::string_view text) {
    std::vector<bool> bBoundary(text.size() + 1, false);
    const std::size_t nLongest = nCodePage == CP_UTF8 ? 4 : nCodePage == 936 ? 2 : 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t nLength = AfxCharLength(nCodePage, text, i);
        FUZZ_CHECK(nLength >= 1 && nLength <= nLongest);
        FUZZ_CHECK(i + nLength <= text.size());
        FUZZ_CHECK(AfxCharLength(CP_ACP, text, i) == nLength);
        if (nLength > 1) {
            FUZZ_CHECK(AfxIsLeadByte(nCodePage, static_cast<unsigned char>(text[i])));
        }
        if (nCodePage == CP_UTF8 && nLength > 1) {
            // A multibyte UTF-8 character decodes to one code point.
            const std::u16string strChar = AfxCodePageToUtf16(CP_UTF8, text.substr(i, nLength));
            FUZZ_CHECK(strChar.size() == (nLength == 4 ? 2u : 1u));
            FUZZ_CHECK(strChar != u"?");
        }
    }
    for (std::size_t i = 0; i < text.size(); i += AfxCharLength(nCodePage, text, i)) {
        bBoundary[i] = true;
    }
    bBoundary[text.size()] = true;
    FUZZ_CHECK(AfxCharLength(nCodePage, text, text.size()) == 1);
    FUZZ_CHECK(AfxCharLength(nCodePage, text, text.size() + 7) == 1);
    return bBoundary;
}

bool MatchesAt(std::string_view text, std::size_t nAt, std::string_view what) {
    return nAt + what.size() <= text.size() && text.compare(nAt, what.size(), what) == 0;
}

void CheckFindString(UINT nCodePage, std::string_view text, const std::vector<bool>& bBoundary,
                     std::string_view what) {
    const std::size_t nFound = AfxFindString(nCodePage, text, what);
    FUZZ_CHECK(AfxFindString(CP_ACP, text, what) == nFound);
    if (what.empty()) {
        FUZZ_CHECK(nFound == 0);
        return;
    }
    const std::size_t nEnd = nFound == std::string_view::npos ? text.size() + 1 : nFound;
    for (std::size_t i = 0; i < nEnd && i < text.size(); ++i) {
        FUZZ_CHECK(!(bBoundary[i] && MatchesAt(text, i, what)));
    }
    if (nFound != std::string_view::npos) {
        FUZZ_CHECK(nFound < text.size() && bBoundary[nFound]);
        FUZZ_CHECK(MatchesAt(text, nFound, what));
    }
    if (nCodePage == 1252) {
        FUZZ_CHECK(nFound == text.find(what));
    }
}

void CheckFindLastChar(UINT nCodePage, std::string_view text, const std::vector<bool>& bBoundary, char ch) {
    const std::size_t nFound = AfxFindLastChar(nCodePage, text, ch);
    FUZZ_CHECK(AfxFindLastChar(CP_ACP, text, ch) == nFound);
    const auto isSingle = [&](std::size_t i) {
        return bBoundary[i] && text[i] == ch && AfxCharLength(nCodePage, text, i) == 1;
    };
    const std::size_t nStart = nFound == std::string_view::npos ? 0 : nFound + 1;
    for (std::size_t i = nStart; i < text.size(); ++i) {
        FUZZ_CHECK(!isSingle(i));
    }
    if (nFound != std::string_view::npos) {
        FUZZ_CHECK(nFound < text.size() && isSingle(nFound));
    }
    if (nCodePage == 1252) {
        FUZZ_CHECK(nFound == text.rfind(ch));
    }
}

void CheckLoginRules(UINT nCodePage, const std::string& strUrl, const std::vector<bool>& bBoundary) {
    for (const char* pszPlatform : kPlatformsWithoutRule) {
        FUZZ_CHECK(!IsLoginNavigation(pszPlatform, strUrl));
    }
    for (const CLoginRule& rule : LoginRules()) {
        const bool bLogin = IsLoginNavigation(rule.pszPlatform, strUrl);
        const std::string_view marker = rule.pszMarker;
        bool bOnBoundary = false;
        for (std::size_t i = 0; i < strUrl.size() && !bOnBoundary; ++i) {
            bOnBoundary = bBoundary[i] && MatchesAt(strUrl, i, marker);
        }
        FUZZ_CHECK(bLogin == bOnBoundary);
        if (nCodePage != 936) {
            // Markers start with an ASCII byte, which no UTF-8 character continues with.
            FUZZ_CHECK(bLogin == (strUrl.find(marker) != std::string::npos));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    FuzzResetProcess();
    CFuzzInput input(pData, nSize);
    const unsigned char byteControl = input.Byte();
    const UINT nCodePage = kCodePages[byteControl & 3];
    Headless().nCodePage = nCodePage;
    const std::string strUrl = input.Field('\0');
    const std::string strTitle = input.Rest();

    FUZZ_CHECK(ComposeLoginAddress(strUrl, strTitle) == strUrl + "&server_name=" + strTitle);

    const std::vector<bool> bBoundary = Boundaries(nCodePage, strUrl);
    CheckLoginRules(nCodePage, strUrl, bBoundary);

    CheckFindString(nCodePage, strUrl, bBoundary, strTitle);
    CheckFindString(nCodePage, strUrl, bBoundary, "\"");
    CheckFindString(nCodePage, strUrl, bBoundary, "\\");
    if (!strUrl.empty()) {
        // A needle cut out of the text at a boundary is found there or at an earlier boundary.
        const std::size_t nAt = (byteControl >> 2) % strUrl.size();
        const std::string_view what = std::string_view(strUrl).substr(nAt, 1 + (byteControl >> 5));
        CheckFindString(nCodePage, strUrl, bBoundary, what);
        if (bBoundary[nAt]) {
            FUZZ_CHECK(AfxFindString(nCodePage, strUrl, what) <= nAt);
        }
    }

    for (char ch : {'\\', '/', '.', '?', strTitle.empty() ? '\x81' : strTitle.front()}) {
        CheckFindLastChar(nCodePage, strUrl, bBoundary, ch);
    }
    FuzzResetProcess();
    return 0;
}
