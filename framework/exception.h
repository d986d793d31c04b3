// The framework's exceptions and the dispatch boundary that contains them.
//
// A handler that throws ends the handling of its message (or event) at the boundary: the framework's
// generic error box is shown once, owned by the window being handled, and the program goes on. No
// exception leaves the boundary, so none ever reaches a native callback.
#pragma once

#include "framework/windefs.h"

#include <string>

class CException {
public:
    virtual ~CException() = default;
    // Copies the description for the player into the buffer (truncated to nMaxError - 1 bytes);
    // FALSE, with an empty buffer, when there is none.
    virtual BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;

protected:
    // Fills the buffer from a description; FALSE when the description is empty.
    static BOOL CopyErrorText(const std::string& strText, char* lpszError, UINT nMaxError);
};

// The generic error box's text when an exception has no description.
inline constexpr const char* kInternalFailureText = "出现内部应用程序错误。";

// Shows the generic error box for a failure inside a handler of hWnd (pException null: not one of
// the framework's exceptions). Stop icon, the application's name as caption.
void AfxReportHandlerFailure(HWND hWnd, const CException* pException) noexcept;

// Runs call at the dispatch boundary of hWnd: a failure is reported and gives failureResult.
template <typename TResult, typename TCall>
TResult AfxCallAtBoundary(HWND hWnd, TResult failureResult, TCall&& call) noexcept {
    try {
        return call();
    } catch (const CException& exception) {
        AfxReportHandlerFailure(hWnd, &exception);
    } catch (...) {
        AfxReportHandlerFailure(hWnd, nullptr);
    }
    return failureResult;
}

template <typename TCall>
void AfxCallAtBoundary(HWND hWnd, TCall&& call) noexcept {
    AfxCallAtBoundary(hWnd, 0, [&call] {
        call();
        return 0;
    });
}
