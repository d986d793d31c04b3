// What every real HTTP client of the framework must do, checked against a loopback server. Each
// platform's tests instantiate the suite with their client.
#pragma once

#include "framework/services.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

struct CHttpClientUnderTest {
    std::string strName;
    std::function<std::unique_ptr<IHttpService>(CHttpBounds)> makeService;
    long nIdleSeconds; // the shortest idle bound the client honours reliably
};

class HttpClientContract : public ::testing::TestWithParam<CHttpClientUnderTest> {
protected:
    CHttpResult Get(const std::string& strUrl, CHttpBounds bounds = {});
};

// For INSTANTIATE_TEST_SUITE_P's name generator.
std::string HttpClientName(const ::testing::TestParamInfo<CHttpClientUnderTest>& info);
