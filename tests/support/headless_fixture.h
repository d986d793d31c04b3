// A fresh headless platform, settings singleton and application object for every test (portable:
// no window is involved; window tests use support/window_fixture.h).
#pragma once

#include "framework/app.h"
#include "framework/headless/headless_platform.h"
#include "settings/client_config.h"
#include "settings/client_reporter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class CHeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        HeadlessReset();
        delete g_pClientConfig;
        g_pClientConfig = nullptr;
        delete g_pClientReporter;
        g_pClientReporter = nullptr;
        StartApp("");
    }
    void TearDown() override {
        m_pApp.reset();
        delete g_pClientConfig;
        g_pClientConfig = nullptr;
        delete g_pClientReporter;
        g_pClientReporter = nullptr;
    }

    // A new application object started with the command-line text.
    void StartApp(const std::string& strCommandLine) {
        m_pApp.reset();
        m_pApp = NewApp();
        AfxWinInit(m_pApp.get(), strCommandLine);
    }
    // The application object of the test: a plain one where no window is involved.
    virtual std::unique_ptr<CWinApp> NewApp() { return std::make_unique<CWinApp>(); }

    CHeadlessPlatform& Platform() { return Headless(); }

    // Creates (or replaces) the settings file next to the headless executable (C:\Drelk\Drelk.exe).
    CHeadlessFile& CreateSettingsFile(const std::string& strBytes = {}) {
        CHeadlessFile& file = Platform().files.m_files[kSettingsPath];
        file = CHeadlessFile{};
        file.strBytes = strBytes;
        return file;
    }
    // The settings file's current bytes.
    std::string SettingsBytes() { return Platform().files.m_files[kSettingsPath].strBytes; }

    static constexpr const char* kSettingsPath = "C:\\Drelk\\pm_config.ini";

    CWinApp* BaseApp() { return m_pApp.get(); }

private:
    std::unique_ptr<CWinApp> m_pApp;
};
