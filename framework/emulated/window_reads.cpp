// What the model shows of a window to its display backends and to the headless inspection: reads of
// the window's record, each answering nothing for a handle that is not a live window.
#include "framework/emulated/window_record.h"

#include <type_traits>
#include <utility>

namespace {

// A member of a live window's record, or the member's empty value.
template <auto Member>
auto Field(HWND hWnd) {
    using TValue = std::remove_cvref_t<decltype(std::declval<const CWindowRecord&>().*Member)>;
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? pRecord->*Member : TValue{};
}

} // namespace

bool ModelIsWindow(HWND hWnd) { return ModelGetRecord(hWnd) != nullptr; }

CRect ModelWindowRect(HWND hWnd) { return Field<&CWindowRecord::rcWindow>(hWnd); }

CRect ModelScreenRect(HWND hWnd) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? pRecord->ScreenRect() : CRect();
}

CRect ModelClientRect(HWND hWnd) { return Field<&CWindowRecord::rcClient>(hWnd); }

bool ModelIsTopLevel(HWND hWnd) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr && pRecord->IsTopLevel();
}

bool ModelIsVisible(HWND hWnd) { return Field<&CWindowRecord::bVisible>(hWnd); }
bool ModelIsIconic(HWND hWnd) { return Field<&CWindowRecord::bIconic>(hWnd); }
bool ModelIsZoomed(HWND hWnd) { return Field<&CWindowRecord::bZoomed>(hWnd); }
bool ModelIsSizable(HWND hWnd) { return (ModelStyle(hWnd) & WS_THICKFRAME) != 0; }
DWORD ModelStyle(HWND hWnd) { return Field<&CWindowRecord::dwStyle>(hWnd); }
DWORD ModelExStyle(HWND hWnd) { return Field<&CWindowRecord::dwExStyle>(hWnd); }
std::string ModelWindowClass(HWND hWnd) { return Field<&CWindowRecord::strClass>(hWnd); }
std::string ModelWindowText(HWND hWnd) { return Field<&CWindowRecord::strText>(hWnd); }
HWND ModelParent(HWND hWnd) { return Field<&CWindowRecord::hParent>(hWnd); }
HWND ModelOwner(HWND hWnd) { return Field<&CWindowRecord::hOwner>(hWnd); }
std::vector<HWND> ModelChildren(HWND hWnd) { return Field<&CWindowRecord::children>(hWnd); }
HICON ModelBigIcon(HWND hWnd) { return Field<&CWindowRecord::hIconBig>(hWnd); }

std::optional<COLORREF> ModelColorKey(HWND hWnd) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr && pRecord->bColorKey ? std::optional<COLORREF>(pRecord->crKey) : std::nullopt;
}

CSurfaceRef ModelLayeredSurface(HWND hWnd) { return Field<&CWindowRecord::layeredSurface>(hWnd); }
CSurfaceRef ModelFrameSurface(HWND hWnd) { return Field<&CWindowRecord::frameSurface>(hWnd); }

std::optional<CWindowRegion> ModelRegion(HWND hWnd) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || !pRecord->bHasRegion) {
        return std::nullopt;
    }
    return CWindowRegion{pRecord->rcRegion, pRecord->nRegionEllipse};
}

CRect ModelInvalidRect(HWND hWnd) { return Field<&CWindowRecord::rcInvalid>(hWnd); }
bool ModelIsPushed(HWND hWnd) { return Field<&CWindowRecord::bPushed>(hWnd); }

std::optional<INT_PTR> ModelDialogResult(HWND hWnd) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr && pRecord->bDialogEnded ? std::optional<INT_PTR>(pRecord->nDialogResult)
                                                       : std::nullopt;
}
