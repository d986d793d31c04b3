#include "gamewindow/htmlbrowser_dlg.h"

#include "support/window_fixture.h"

namespace {

// The game window's cache walk, without its window.
class CacheWalkTest : public CWindowTest {
protected:
    void ClearCache() {
        ChtmlbrowserDlg dialog;
        dialog.ClearBrowserCache();
        delete dialog.m_pSkinImage;
    }
};

TEST_F(CacheWalkTest, DeletesEverythingButCookiesAndRefetchesBigEntries) {
    Platform().urlCache = {{"http://op/static/game.css", NORMAL_CACHE_ENTRY, 0},
                           {"Cookie:player@op/", COOKIE_CACHE_ENTRY, 0},
                           {"http://op/static/big.png", NORMAL_CACHE_ENTRY, 9000},
                           {"http://op/login.php?sid=1", NORMAL_CACHE_ENTRY, 0}};
    ClearCache();
    EXPECT_EQ(Platform().deletedUrls,
              (std::vector<std::string>{"http://op/static/game.css", "http://op/static/big.png",
                                        "http://op/login.php?sid=1"}));
    ASSERT_EQ(Platform().urlCache.size(), 1u);
    EXPECT_EQ(Platform().urlCache[0].strUrl, "Cookie:player@op/");
}

TEST_F(CacheWalkTest, EmptyCacheIsOneLookUp) {
    ClearCache();
    EXPECT_EQ(Platform().nUrlCacheEnumerations, 1);
    EXPECT_TRUE(Platform().deletedUrls.empty());
}

TEST_F(CacheWalkTest, FirstEntryLargerThanTheBufferIsFetchedAgain) {
    Platform().urlCache = {{"http://op/huge", NORMAL_CACHE_ENTRY, 5000}};
    ClearCache();
    EXPECT_EQ(Platform().deletedUrls, std::vector<std::string>{"http://op/huge"});
}

TEST_F(CacheWalkTest, FindFunctionsReportSizesAndTheEnd) {
    Platform().urlCache = {{"http://a/", NORMAL_CACHE_ENTRY, 5000}, {"http://b/", NORMAL_CACHE_ENTRY, 0}};
    std::vector<char> buffer(4096);
    auto* pEntry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    DWORD dwSize = 4096;
    EXPECT_EQ(AfxFindFirstUrlCacheEntry(nullptr, pEntry, &dwSize), nullptr);
    EXPECT_EQ(AfxGetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(dwSize, 5000u);
    buffer.resize(dwSize);
    pEntry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    HURLCACHEFIND hFind = AfxFindFirstUrlCacheEntry(nullptr, pEntry, &dwSize);
    ASSERT_NE(hFind, nullptr);
    EXPECT_STREQ(pEntry->lpszSourceUrlName, "http://a/");
    dwSize = static_cast<DWORD>(buffer.size());
    EXPECT_TRUE(AfxFindNextUrlCacheEntry(hFind, pEntry, &dwSize));
    EXPECT_STREQ(pEntry->lpszSourceUrlName, "http://b/");
    EXPECT_FALSE(AfxFindNextUrlCacheEntry(hFind, pEntry, &dwSize));
    EXPECT_EQ(AfxGetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    EXPECT_TRUE(AfxFindCloseUrlCache(hFind));
}

} // namespace
