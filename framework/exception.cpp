#include "framework/exception.h"

#include <algorithm>
#include <cstring>

BOOL CException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) const {
    if (pnHelpContext != nullptr) {
        *pnHelpContext = 0;
    }
    return CopyErrorText({}, lpszError, nMaxError);
}

BOOL CException::CopyErrorText(const std::string& strText, char* lpszError, UINT nMaxError) {
    if (lpszError == nullptr || nMaxError == 0) {
        return FALSE;
    }
    const std::size_t nCopy = std::min<std::size_t>(strText.size(), nMaxError - 1);
    std::memcpy(lpszError, strText.data(), nCopy);
    lpszError[nCopy] = '\0';
    return strText.empty() ? FALSE : TRUE;
}
