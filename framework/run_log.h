// The log of a run: what a support desk asks a player for when "the launcher does nothing".
//
// One file per start in the "logs" folder of the player's state folder, named by the start's local
// time and the process id ("drelk-20261211-134305-4242.log"), so that launchers running at once never
// share a file. The newest kRunLogsKept files are kept, each up to kRunLogCapBytes; past the cap one
// line says so and the rest of the run is not written. One line per event, starting with the local
// time. Addresses go in as AfxLogAddress gives them: never a query, a fragment, a user name or
// password, so a player's session stays out of the file.
//
// Lines wait in memory until the settings have said whether the log is on (AfxStartRunLog). A
// folder that cannot be made or a file that cannot be written turns the log off for the run without
// a word; waiting lines are written at the end of each burst of events (AfxFlushRunLog, called by
// the message loops before they wait) and before the process ends.
#pragma once

#include "framework/services.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

constexpr std::size_t kRunLogsKept = 10;
constexpr std::size_t kRunLogCapBytes = 1024 * 1024;
constexpr std::size_t kCrashReportsKept = 5;

class CRunLog {
public:
    // The run is named by the local time and the process id it is made with.
    explicit CRunLog(CPlatformServices& services);

    void Add(std::string_view text);
    // bOn: the file is made and what waits is written; else what waits is dropped and nothing is made.
    // Either way the crash reports beyond the newest kCrashReportsKept are removed.
    void Start(bool bOn);
    void Flush();

    // "drelk-<yyyymmdd>-<hhmmss>-<pid>": the log's file name without ".log", and a crash report's.
    const std::string& RunName() const { return m_strRunName; }
    // Where a crash report of this run goes (the folder is not made); empty without a state folder.
    std::string CrashReportPath(const char* pszSuffix) const;
    // The file being written; empty while the log waits or is off.
    const std::string& FilePath() const { return m_strFilePath; }

private:
    enum class EState { Waiting, On, Off };
    void Append(std::string_view line);
    void NotePreviousCrash(const std::string& strPreviousLog);
    void PruneCrashReports();

    CPlatformServices& m_services;
    std::mutex m_mutex;
    EState m_eState = EState::Waiting;
    std::string m_strRunName;
    std::string m_strFilePath;
    std::unique_ptr<IOutputFile> m_pFile;
    std::string m_strPending;
    std::size_t m_nBytes = 0; // written or waiting
    bool m_bCapped = false;
};

// An address as the log shows it: scheme, host and path. The query, the fragment, a user name and
// password, the port and path parameters (";jsessionid=...") are left out; an address without "//"
// keeps its scheme only ("javascript:"), except about: pages. Text in the process code page.
std::string AfxLogAddress(std::string_view url);
// A command line with every address in it (after -url, or with "://") as AfxLogAddress gives it.
std::string AfxLogCommandLine(std::string_view line);

// The run's log (made on first use).
CRunLog& AfxGetRunLog();
void AfxLog(std::string_view text);
void AfxLogFormat(const char* pszFormat, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
void AfxStartRunLog(bool bOn);
void AfxFlushRunLog();
// The first line of a run: the program and its version, the platform, the program's folder, the
// screen, and the command line with its addresses shortened.
void AfxLogRunStart(const std::string& strPlatform, const std::string& strScreen);
// The last: the process's exit code; everything is written.
void AfxLogRunEnd(int nExitCode);
// A new run's log (tests run many in one process).
void AfxResetRunLog();
