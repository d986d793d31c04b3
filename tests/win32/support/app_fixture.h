// A test of the system's classes on the native windows: OLE for the control container, the program's
// settings and reporter, the application object, and a record file for the recorder (which stands in
// for the game client, the default browser and the relaunched program).
#pragma once

#include "app/drelk_client_app.h"
#include "settings/client_config.h"
#include "settings/client_reporter.h"
#include "support/desktop.h"

#include <ole2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

class CWin32AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        m_strRecord = ProgramDirectory() + "\\record-" + std::to_string(GetCurrentProcessId());
        DeleteFileA(m_strRecord.c_str());
        SetEnvironmentVariableA("DRELK_RECORD_FILE", m_strRecord.c_str());
    }
    void TearDown() override {
        DeleteFileA((ProgramDirectory() + "\\pm_config.ini").c_str());
        DeleteFileA(m_strRecord.c_str());
        delete g_pClientConfig;
        g_pClientConfig = nullptr;
        delete g_pClientReporter;
        g_pClientReporter = nullptr;
        OleUninitialize();
    }

    // The program's start: its settings and reporter, the application object with no arguments.
    void StartApplication() {
        g_pClientConfig = new CClientConfig;
        g_pClientReporter = new CClientReporter;
        AfxWinInit(&m_app, "");
    }

    bool Recorded() const { return GetFileAttributesA(m_strRecord.c_str()) != INVALID_FILE_ATTRIBUTES; }

    CDrelkClientApp m_app;
    std::string m_strRecord;
};
