#include "launcher/doc_host_ui_handler.h"

#include <gtest/gtest.h>

namespace {

TEST(DocHostUIHandlerTest, AnswersOnlyItsTwoInterfacesWithItself) {
    auto* pHandler = new CDocHostUIHandlerImpl;
    void* pUnknown = nullptr;
    void* pDocHost = nullptr;
    EXPECT_EQ(pHandler->QueryInterface(IID_IUnknown, &pUnknown), S_OK);
    EXPECT_EQ(pHandler->QueryInterface(IID_IDocHostUIHandler, &pDocHost), S_OK);
    EXPECT_EQ(pUnknown, pDocHost);
    EXPECT_EQ(pDocHost, static_cast<IDocHostUIHandler*>(pHandler));
    EXPECT_EQ(pHandler->AddRef(), 4u); // creator + two answers + this one
    for (const IID& iid : {IID_IDocHostUIHandler2, IID_IOleCommandTarget, IID_IDispatch}) {
        void* pOther = reinterpret_cast<void*>(1);
        EXPECT_EQ(pHandler->QueryInterface(iid, &pOther), E_NOINTERFACE);
        EXPECT_EQ(pOther, nullptr);
    }
    EXPECT_EQ(pHandler->Release(), 3u);
    EXPECT_EQ(pHandler->Release(), 2u);
    EXPECT_EQ(pHandler->Release(), 1u);
    EXPECT_EQ(pHandler->Release(), 0u); // the creator's reference: gone
}

TEST(DocHostUIHandlerTest, HostPolicyAndTheDefaultAnswers) {
    auto* pHandler = new CDocHostUIHandlerImpl;
    OLECHAR css[] = {'a', 0};
    OLECHAR ns[] = {'b', 0};
    DOCHOSTUIINFO info{};
    info.pchHostCss = css;
    info.pchHostNS = ns;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(pHandler->GetHostInfo(&info), S_OK);
        EXPECT_EQ(info.cbSize, sizeof(DOCHOSTUIINFO));
        EXPECT_EQ(info.dwFlags, 0x0000000Cu);
        EXPECT_EQ(info.dwDoubleClick, 0u);
        EXPECT_EQ(info.pchHostCss, css);
        EXPECT_EQ(info.pchHostNS, ns);
    }
    IDispatch* pExternal = reinterpret_cast<IDispatch*>(pHandler);
    EXPECT_EQ(pHandler->GetExternal(&pExternal), S_OK);
    EXPECT_EQ(pExternal, nullptr);
    POINT pt{0, 0};
    EXPECT_EQ(pHandler->ShowContextMenu(0, &pt, nullptr, nullptr), S_OK);
    EXPECT_EQ(pHandler->ShowUI(0, nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(pHandler->TranslateAccelerator(nullptr, nullptr, 0), E_NOTIMPL);
    EXPECT_EQ(pHandler->GetDropTarget(nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(pHandler->Release(), 0u);
}

} // namespace
