// iconv for code pages other than UTF-8.
#include "framework/window_system.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <string>

namespace {

class CConverter {
public:
    CConverter(const char* pszTo, const char* pszFrom) : m_cd(iconv_open(pszTo, pszFrom)) {}
    ~CConverter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // Converts all of input or nothing.
    bool Convert(const char* pInput, std::size_t nInput, std::string& strOut) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            return false;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[64];
        char* pIn = const_cast<char*>(pInput);
        char* pOut = buffer;
        std::size_t nOutLeft = sizeof(buffer);
        if (iconv(m_cd, &pIn, &nInput, &pOut, &nOutLeft) == static_cast<std::size_t>(-1) || nInput != 0) {
            return false;
        }
        strOut.append(buffer, pOut);
        return true;
    }

private:
    iconv_t m_cd;
};

std::string IconvName(UINT nCodePage) { return "CP" + std::to_string(nCodePage); }

CConverter& ConverterFor(const std::string& strTo, const std::string& strFrom) {
    thread_local std::map<std::pair<std::string, std::string>, CConverter> s_converters;
    auto key = std::make_pair(strTo, strFrom);
    auto it = s_converters.find(key);
    if (it == s_converters.end()) {
        it = s_converters.try_emplace(key, strTo.c_str(), strFrom.c_str()).first;
    }
    return it->second;
}

} // namespace

bool WsNativeCharToUtf16(UINT nCodePage, std::string_view strChar, std::u16string& strOut) {
    std::string strUtf16;
    if (!ConverterFor("UTF-16LE", IconvName(nCodePage)).Convert(strChar.data(), strChar.size(), strUtf16)) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < strUtf16.size(); i += 2) {
        strOut += static_cast<char16_t>(static_cast<unsigned char>(strUtf16[i]) |
                                        (static_cast<unsigned char>(strUtf16[i + 1]) << 8));
    }
    return true;
}

bool WsNativeCodePointToChar(UINT nCodePage, char32_t codePoint, std::string& strOut) {
    const char bytes[4] = {static_cast<char>(codePoint & 0xFF), static_cast<char>((codePoint >> 8) & 0xFF),
                           static_cast<char>((codePoint >> 16) & 0xFF), static_cast<char>(codePoint >> 24)};
    return ConverterFor(IconvName(nCodePage), "UTF-32LE").Convert(bytes, sizeof(bytes), strOut);
}
