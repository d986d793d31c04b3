// Conversions between UTF-16 and the 8-bit code pages 936 and 65001, both ways, for any input.
//
// Input: one control byte, then the data, read both as 8-bit text and as UTF-16 (little-endian
// pairs; an odd last byte is dropped).
//   byte 0, bit 0: the process code page for the CP_ACP checks (936 or 65001)
//   byte 0, bits 1-7: where the texts are split for the concatenation checks
#include "fuzz/fuzz_support.h"

#include "framework/codepage.h"
#include "framework/headless/headless_platform.h"

#include <string>
#include <string_view>

namespace {

constexpr UINT kGbk = 936;

bool IsHighSurrogate(char16_t ch) { return ch >= 0xD800 && ch <= 0xDBFF; }
bool IsLowSurrogate(char16_t ch) { return ch >= 0xDC00 && ch <= 0xDFFF; }

// The text with every surrogate that is not part of a pair replaced by '?'.
std::u16string WithLoneSurrogatesReplaced(std::u16string_view text) {
    std::u16string result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        if (IsHighSurrogate(result[i]) && i + 1 < result.size() && IsLowSurrogate(result[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(result[i]) || IsLowSurrogate(result[i])) {
            result[i] = u'?';
        }
    }
    return result;
}

// The first character boundary at or after nOffset (walking from the start with AfxCharLength).
std::size_t BoundaryFrom(UINT nCodePage, std::string_view text, std::size_t nOffset) {
    std::size_t i = 0;
    while (i < nOffset && i < text.size()) {
        i += AfxCharLength(nCodePage, text, i);
    }
    return i < text.size() ? i : text.size();
}

// 8-bit text to UTF-16 and back.
void CheckDecoding(UINT nCodePage, std::string_view bytes, std::size_t nSplit) {
    const std::u16string wide = AfxCodePageToUtf16(nCodePage, bytes);
    // A character never yields more UTF-16 units than it has bytes.
    FUZZ_CHECK(wide.size() <= bytes.size());
    FUZZ_CHECK(WithLoneSurrogatesReplaced(wide) == wide);

    // Decoding works character by character: a split at a boundary decodes as the two halves.
    const std::size_t nAt = BoundaryFrom(nCodePage, bytes, nSplit);
    FUZZ_CHECK(AfxCodePageToUtf16(nCodePage, bytes.substr(0, nAt)) +
                   AfxCodePageToUtf16(nCodePage, bytes.substr(nAt)) ==
               wide);

    const bool bClean = bytes.find('?') == std::string_view::npos && wide.find(u'?') == std::u16string::npos;
    const std::string narrow = AfxUtf16ToCodePage(nCodePage, wide);
    if (nCodePage == CP_UTF8) {
        // Text that decoded without a replacement is well-formed and encodes back to its bytes.
        if (bClean) {
            FUZZ_CHECK(narrow == bytes);
        }
    } else if (bClean) {
        // Every decoded GBK character has a way back that decodes to it again.
        FUZZ_CHECK(AfxCodePageToUtf16(nCodePage, narrow) == wide);
    }
}

// UTF-16 to 8-bit text and back.
void CheckEncoding(UINT nCodePage, std::u16string_view wide, std::size_t nSplit) {
    const std::string narrow = AfxUtf16ToCodePage(nCodePage, wide);
    FUZZ_CHECK(narrow.size() <= wide.size() * (nCodePage == CP_UTF8 ? 3 : 2));

    // Encoding works character by character: a split outside a surrogate pair encodes as the halves.
    std::size_t nAt = nSplit < wide.size() ? nSplit : wide.size();
    if (nAt > 0 && nAt < wide.size() && IsHighSurrogate(wide[nAt - 1]) && IsLowSurrogate(wide[nAt])) {
        ++nAt;
    }
    FUZZ_CHECK(AfxUtf16ToCodePage(nCodePage, wide.substr(0, nAt)) +
                   AfxUtf16ToCodePage(nCodePage, wide.substr(nAt)) ==
               narrow);

    const std::u16string back = AfxCodePageToUtf16(nCodePage, narrow);
    if (nCodePage == CP_UTF8) {
        // Exact for well-formed UTF-16; each lone surrogate comes back as '?'.
        FUZZ_CHECK(back == WithLoneSurrogatesReplaced(wide));
    } else {
        // What 936 made of the text is stable: decoding and encoding it again gives the same bytes.
        FUZZ_CHECK(AfxUtf16ToCodePage(nCodePage, back) == narrow);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    FuzzResetProcess();
    CFuzzInput input(pData, nSize);
    const unsigned char byteControl = input.Byte();
    const std::string bytes = input.Rest();
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    const std::size_t nSplit = byteControl >> 1;

    for (UINT nCodePage : {kGbk, static_cast<UINT>(CP_UTF8)}) {
        CheckDecoding(nCodePage, bytes, nSplit);
        CheckEncoding(nCodePage, wide, nSplit);
    }

    // CP_ACP is the process code page.
    const UINT nProcess = (byteControl & 1) != 0 ? kGbk : CP_UTF8;
    Headless().nCodePage = nProcess;
    FUZZ_CHECK(AfxCodePageToUtf16(CP_ACP, bytes) == AfxCodePageToUtf16(nProcess, bytes));
    FUZZ_CHECK(AfxUtf16ToCodePage(CP_ACP, wide) == AfxUtf16ToCodePage(nProcess, wide));
    FUZZ_CHECK(AfxAnsiText(wide) == AfxUtf16ToCodePage(nProcess, wide));
    FuzzResetProcess();
    return 0;
}
