// The COM subset the system uses: GUIDs, HRESULTs, IUnknown, IDispatch, VARIANTs, BSTRs and the
// browser's document interfaces (ICustomDoc, IHTMLDocument2, IDocHostUIHandler). On Windows they are
// the native headers' own (included here); elsewhere the definitions below have the Windows layouts
// and interface ids.
#pragma once

#include "framework/geometry.h"
#include "framework/windefs.h"

#if defined(_WIN32)
#include <ole2.h>
#include <oleauto.h>
#include <mshtmhst.h>
#include <mshtml.h>
#endif

#include <atomic>
#include <cstring>
#include <string>
#include <type_traits>

typedef std::conditional_t<sizeof(wchar_t) == 2, wchar_t, char16_t> OLECHAR;

#ifndef _WINDOWS_
#define STDMETHODCALLTYPE

typedef OLECHAR* BSTR;
typedef LONG DISPID;
typedef unsigned short VARTYPE;
typedef short VARIANT_BOOL;
typedef DWORD ULONG;

typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

#define S_OK ((HRESULT)0L)
#define S_FALSE ((HRESULT)1L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

enum VARENUM {
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_BYREF = 0x4000
};

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4

class IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

class IDispatch;

typedef struct tagVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        VARIANT_BOOL* pboolVal;
        struct tagVARIANT* pvarVal;
        void* byref;
        void* pRecord[2];
    };
} VARIANT;

typedef struct tagDISPPARAMS {
    VARIANT* rgvarg; // in reverse order, as COM passes them
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
} DISPPARAMS;

class IDispatch : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, DWORD lcid, void** ppTInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, OLECHAR** rgszNames, UINT cNames, DWORD lcid,
                                                    DISPID* rgDispId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, DWORD lcid, WORD wFlags,
                                             DISPPARAMS* pDispParams, VARIANT* pVarResult, void* pExcepInfo,
                                             UINT* puArgErr) = 0;
};

typedef struct _DOCHOSTUIINFO {
    ULONG cbSize;
    DWORD dwFlags;
    DWORD dwDoubleClick;
    OLECHAR* pchHostCss;
    OLECHAR* pchHostNS;
} DOCHOSTUIINFO;

#define DOCHOSTUIFLAG_NO3DBORDER 0x00000004
#define DOCHOSTUIFLAG_SCROLL_NO 0x00000008
#define DOCHOSTUIDBLCLK_DEFAULT 0

// The OLE interfaces IDocHostUIHandler names; the system never calls them.
class IOleInPlaceActiveObject;
class IOleCommandTarget;
class IOleInPlaceFrame;
class IOleInPlaceUIWindow;
class IDropTarget;
class IDataObject;

class IDocHostUIHandler : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                                      IDispatch* pdispReserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* pInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                                             IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                                             IOleInPlaceUIWindow* pDoc) = 0;
    virtual HRESULT STDMETHODCALLTYPE HideUI() = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateUI() = 0;
    virtual HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                                   BOOL fRameWindow) = 0;
    virtual HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* lpMsg, const GUID* pguidCmdGroup,
                                                           DWORD nCmdID) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOptionKeyPath(OLECHAR** pchKey, DWORD dw) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** ppDispatch) = 0;
    virtual HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD dwTranslate, OLECHAR* pchURLIn,
                                                   OLECHAR** ppchURLOut) = 0;
    virtual HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) = 0;
};

class ICustomDoc : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE SetUIHandler(IDocHostUIHandler* pUIHandler) = 0;
};

// The slots of IHTMLDocument2 up to its title; the system reads only the title.
class IHTMLDocument2 : public IDispatch {
public:
    virtual HRESULT STDMETHODCALLTYPE get_Script(IDispatch** p) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_all(void** p) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_body(void** p) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_activeElement(void** p) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_images(void** p) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_applets(void** p) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_links(void** p) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_forms(void** p) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_anchors(void** p) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_title(BSTR v) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_title(BSTR* p) = 0;
};

static constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static constexpr IID IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static constexpr IID IID_IDocHostUIHandler = {
    0xBD3F23C0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};
static constexpr IID IID_IDocHostUIHandler2 = {
    0x3050F6D0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
static constexpr IID IID_IOleCommandTarget = {
    0xB722BCCB, 0x4E68, 0x101B, {0xA2, 0xBC, 0x00, 0xAA, 0x00, 0x40, 0x47, 0x70}};
static constexpr IID IID_ICustomDoc = {
    0x3050F3F0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
static constexpr IID IID_IHTMLDocument2 = {
    0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
static constexpr IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
#endif // _WINDOWS_

// Every IDocHostUIHandler method answers E_NOTIMPL; derived classes supply IUnknown and the answers
// that differ.
class TDocHostUIHandlerImpl : public IDocHostUIHandler {
public:
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, const GUID*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(OLECHAR**, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, OLECHAR*, OLECHAR**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject**) override { return E_NOTIMPL; }

protected:
    virtual ~TDocHostUIHandlerImpl() = default;
};

// A COM object the framework or the system makes, on the interfaces it derives from: one atomic
// reference count for all of them (it starts with its creator's reference and the object deletes
// itself when the last one goes), and QueryInterface answering IUnknown (by the first interface) and
// what the object's InterfaceFor names, nothing else.
template <typename TFirst, typename... TOthers>
class TComObject : public TFirst, public TOthers... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr) {
            return E_POINTER;
        }
        *ppvObject = riid == IID_IUnknown ? static_cast<TFirst*>(this) : InterfaceFor(riid);
        if (*ppvObject == nullptr) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG nRefs = --m_nRefs;
        if (nRefs == 0) {
            delete this;
        }
        return nRefs;
    }

protected:
    virtual ~TComObject() = default;
    // The object's interface for riid (other than IUnknown), or null; the caller adds the reference.
    virtual void* InterfaceFor(REFIID riid) = 0;

private:
    std::atomic<ULONG> m_nRefs{1};
};

// The WebBrowser control's class id.
static constexpr CLSID CLSID_DrelkWebBrowser = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

// BSTRs: length-prefixed UTF-16 strings.
BSTR AfxSysAllocString(std::u16string_view text);
void AfxSysFreeString(BSTR bstr);
std::u16string AfxBstrText(BSTR bstr); // a null BSTR gives the empty string
