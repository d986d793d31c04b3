#include "framework/codepage.h"

#include "framework/window_system.h"

#include "framework/window_system.h"

namespace {

constexpr UINT kCodePageGbk = 936;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of a well-formed UTF-8 sequence at nOffset, or 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t nOffset) {
    const auto at = [&](std::size_t i) -> unsigned char {
        return nOffset + i < text.size() ? static_cast<unsigned char>(text[nOffset + i]) : 0;
    };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    std::size_t nLength = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        nLength = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        nLength = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        nLength = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (nOffset + nLength > text.size() || at(1) < low || at(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < nLength; ++i) {
        if (!IsContinuation(at(i))) {
            return 0;
        }
    }
    return nLength;
}

char32_t DecodeUtf8(std::string_view text, std::size_t nOffset, std::size_t nLength) {
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = static_cast<unsigned char>(text[nOffset]) & kLeadMask[nLength];
    for (std::size_t i = 1; i < nLength; ++i) {
        value = (value << 6) | (static_cast<unsigned char>(text[nOffset + i]) & 0x3F);
    }
    return value;
}

void EncodeUtf8(char32_t value, std::string& out) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

void AppendUtf16(char32_t value, std::u16string& out) {
    if (value < 0x10000) {
        out += static_cast<char16_t>(value);
    } else {
        value -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (value >> 10));
        out += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    }
}

} // namespace

UINT AfxResolveCodePage(UINT nCodePage) { return nCodePage == CP_ACP ? AfxGetProcessCodePage() : nCodePage; }

bool AfxIsLeadByte(UINT nCodePage, unsigned char byte) {
    switch (AfxResolveCodePage(nCodePage)) {
    case CP_UTF8:
        return byte >= 0xC2 && byte <= 0xF4;
    case kCodePageGbk:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}

std::size_t AfxCharLength(UINT nCodePage, std::string_view text, std::size_t nOffset) {
    if (nOffset >= text.size()) {
        return 1;
    }
    switch (AfxResolveCodePage(nCodePage)) {
    case CP_UTF8: {
        const std::size_t nLength = Utf8SequenceLength(text, nOffset);
        return nLength == 0 ? 1 : nLength;
    }
    case kCodePageGbk: {
        const auto lead = static_cast<unsigned char>(text[nOffset]);
        if (lead < 0x81 || lead > 0xFE || nOffset + 1 >= text.size()) {
            return 1;
        }
        const auto trail = static_cast<unsigned char>(text[nOffset + 1]);
        const bool bTrail = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE);
        return bTrail ? 2 : 1;
    }
    default:
        return 1;
    }
}

std::size_t AfxFindString(UINT nCodePage, std::string_view strText, std::string_view strWhat) {
    const UINT nResolved = AfxResolveCodePage(nCodePage);
    for (std::size_t i = 0; i + strWhat.size() <= strText.size(); i += AfxCharLength(nResolved, strText, i)) {
        if (strText.compare(i, strWhat.size(), strWhat) == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t AfxFindLastChar(UINT nCodePage, std::string_view strText, char ch) {
    const UINT nResolved = AfxResolveCodePage(nCodePage);
    std::size_t nFound = std::string_view::npos;
    for (std::size_t i = 0; i < strText.size();) {
        const std::size_t nLength = AfxCharLength(nResolved, strText, i);
        if (nLength == 1 && strText[i] == ch) {
            nFound = i;
        }
        i += nLength;
    }
    return nFound;
}

std::u16string AfxCodePageToUtf16(UINT nCodePage, std::string_view strText) {
    const UINT nResolved = AfxResolveCodePage(nCodePage);
    std::u16string result;
    result.reserve(strText.size());
    for (std::size_t i = 0; i < strText.size();) {
        const auto byte = static_cast<unsigned char>(strText[i]);
        if (byte < 0x80) {
            result += static_cast<char16_t>(byte);
            ++i;
            continue;
        }
        if (nResolved == CP_UTF8) {
            const std::size_t nLength = Utf8SequenceLength(strText, i);
            if (nLength == 0) {
                result += u'?';
                ++i;
            } else {
                AppendUtf16(DecodeUtf8(strText, i, nLength), result);
                i += nLength;
            }
            continue;
        }
        const std::size_t nLength = AfxCharLength(nResolved, strText, i);
        const bool bIncompleteLead = nLength == 1 && AfxIsLeadByte(nResolved, byte);
        std::u16string converted;
        if (!bIncompleteLead && WsNativeCharToUtf16(nResolved, strText.substr(i, nLength), converted)) {
            result += converted;
        } else {
            result += u'?';
        }
        i += nLength;
    }
    return result;
}

std::string AfxUtf16ToCodePage(UINT nCodePage, std::u16string_view strText) {
    const UINT nResolved = AfxResolveCodePage(nCodePage);
    std::string result;
    result.reserve(strText.size());
    for (std::size_t i = 0; i < strText.size(); ++i) {
        char32_t value = strText[i];
        if (value >= 0xD800 && value <= 0xDBFF && i + 1 < strText.size() && strText[i + 1] >= 0xDC00 &&
            strText[i + 1] <= 0xDFFF) {
            value = 0x10000 + ((value - 0xD800) << 10) + (strText[i + 1] - 0xDC00);
            ++i;
        } else if (value >= 0xD800 && value <= 0xDFFF) {
            result += '?';
            continue;
        }
        if (value < 0x80) {
            result += static_cast<char>(value);
        } else if (nResolved == CP_UTF8) {
            EncodeUtf8(value, result);
        } else if (!WsNativeCodePointToChar(nResolved, value, result)) {
            result += '?';
        }
    }
    return result;
}

UINT AfxGetProcessCodePage() { return WsGetProcessCodePage(); }
