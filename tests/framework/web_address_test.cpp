#include "framework/browser.h"

#include <gtest/gtest.h>

namespace {

TEST(WebAddressTest, OnlyHttpAndHttpsInAnyCaseAfterLeadingBlanks) {
    for (const char* pszAddress : {"http://op/login.php", "https://op/", "HTTP://OP/", "HtTpS://op",
                                   "  http://op", "\thttps://op", "http://"}) {
        EXPECT_TRUE(AfxIsWebAddress(pszAddress)) << pszAddress;
    }
    for (const char* pszAddress :
         {"", " ", "http", "http:", "https:op/login.php", "http:/op", "file:///etc/passwd?login.php",
          "data:text/html,x", "javascript:alert(1)", "ftp://op/", "made-up://op", "xhttp://op", "\nhttp://op",
          "res://Drelk.exe/HTML2201", "about:blank", "//op/login.php", "httpx://op"}) {
        EXPECT_FALSE(AfxIsWebAddress(pszAddress)) << pszAddress;
    }
}

} // namespace
