// Operating-system services used by the system, each an interface with one real implementation per
// backend and a scriptable one in the headless backend.
//
// Paths handed across these interfaces use '\' as the directory separator on every platform, the
// way the system writes them; the Linux services turn it into '/' when they reach the file system.
#pragma once

#include "framework/windefs.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The full path of the running executable.
class IModuleService {
public:
    virtual ~IModuleService() = default;
    // The whole path, however long; the empty string when the platform cannot tell.
    virtual std::string GetModulePath() = 0;
};

enum class EAppendResult {
    Appended,  // all bytes were written
    NotOpened, // missing, locked, read-only or otherwise not openable: nothing was changed
    WriteFailed
};

// Files that the system reads or extends but never creates.
class IFileService {
public:
    virtual ~IFileService() = default;
    // Opens an existing file for writing without creating or truncating it, exclusively while it is
    // open, and writes bytes at its end.
    virtual EAppendResult AppendToExisting(const std::string& strPath, std::string_view bytes) = 0;
    // Reads at most nMaxBytes of an existing file. False when it cannot be opened or read, with the
    // platform's error number in dwError (kFileNotFound for a file that is not there).
    virtual bool ReadExisting(const std::string& strPath, std::size_t nMaxBytes, std::string& strBytes,
                              DWORD& dwError) = 0;
    // The platform's description of one of its file error numbers.
    virtual std::string DescribeError(DWORD dwError) = 0;
};

// The error number ReadExisting gives for a file that does not exist (or whose folder does not), on
// every platform.
constexpr DWORD kFileNotFound = 2;

// A new file the program writes, open until the object goes.
class IOutputFile {
public:
    virtual ~IOutputFile() = default;
    // False when not all bytes were written.
    virtual bool Write(std::string_view bytes) = 0;
};

// The folders below the player's own state folder for the program ($XDG_STATE_HOME/drelk, by default
// ~/.local/state/drelk, on Linux; %LOCALAPPDATA%\Drelk on Windows), where a run leaves what a support
// desk may ask for. Only the player may open what is made there.
class IStateFolderService {
public:
    virtual ~IStateFolderService() = default;
    // The path of the folder strName below the program's state folder; empty when the platform has
    // no such place for this user. Nothing is made.
    virtual std::string FolderPath(const std::string& strName) = 0;
    // Makes the folder and the ones above it that are missing. False when it does not exist after.
    virtual bool MakeFolder(const std::string& strFolder) = 0;
    // The names of the files in the folder, in no order; empty when it cannot be read.
    virtual std::vector<std::string> ListFiles(const std::string& strFolder) = 0;
    virtual bool RemoveFile(const std::string& strPath) = 0;
    // A file that did not exist yet; null when it exists or cannot be made.
    virtual std::unique_ptr<IOutputFile> CreateNewFile(const std::string& strPath) = 0;
};

struct CNetworkAdapter {
    std::string strName;
    std::vector<BYTE> address; // hardware address bytes in their stored order
};

// The machine's network adapters, in the platform's order.
class IAdapterService {
public:
    virtual ~IAdapterService() = default;
    // False when the platform's adapter query fails; an empty list is a successful answer.
    virtual bool GetAdapters(std::vector<CNetworkAdapter>& adapters) = 0;
};

class IClockService {
public:
    virtual ~IClockService() = default;
    virtual SYSTEMTIME GetSystemTime() = 0; // UTC
    virtual SYSTEMTIME GetLocalTime() = 0;  // the player's time zone
};

enum class EHttpOutcome {
    OpenFailed, // no response head: refused, unresolved, timed out, or an address the client rejects
    Completed,  // the response was read to its end (or to the size bound)
    ReadFailed  // the response head arrived, then reading the body failed
};

struct CHttpResult {
    EHttpOutcome eOutcome = EHttpOutcome::OpenFailed;
    DWORD dwError = 0;   // the platform's error number when the outcome is not Completed
    std::string strBody; // what was received before the end or the failure
};

// Limits that keep a silent or endless server from holding the caller forever.
struct CHttpBounds {
    long nConnectSeconds = 60;
    long nIdleSeconds = 30;                  // longest wait for any data once connected
    std::size_t nMaxBodyBytes = 1024 * 1024; // the rest of a longer body is not read
    int nMaxRedirects = 10;                  // one more is a failure to open
};

class IHttpSession {
public:
    virtual ~IHttpSession() = default;
    // A GET of the address; waits until the response was read or the request failed.
    virtual CHttpResult Get(const std::string& strUrl) = 0;
};

// HTTP with the system's proxy configuration.
class IHttpService {
public:
    virtual ~IHttpService() = default;
    // Null when no session can be opened; the platform's error number goes to dwError.
    virtual std::unique_ptr<IHttpSession> OpenSession(const std::string& strUserAgent, DWORD& dwError) = 0;
    // The platform's description of one of its error numbers; empty when it has none.
    virtual std::string DescribeError(DWORD dwError) = 0;
};

// A process to start without waiting for it. Windows starts strApplication with the command-line
// text strCommandLine; platforms that pass argument vectors give vecArguments after the program path.
// Both inherit the caller's environment and working directory.
struct CProcessStart {
    std::string strApplication;
    std::string strCommandLine;
    std::vector<std::string> vecArguments;
    int nShowCmd = SW_SHOW;
};

// One argument of a command line, written so that the way Windows programs split their command line
// (CommandLineToArgvW and the C runtime's rules) gives it back unchanged: as it is when it holds no
// blank, tab or double quote and is not empty; else in double quotes, each quote in it preceded by a
// backslash and the backslashes before a quote (or the closing quote) doubled. The text is in the
// process code page: a trail byte is never taken for a backslash.
std::string AfxQuoteCommandLineArgument(const std::string& strArgument);

class IProcessService {
public:
    virtual ~IProcessService() = default;
    // True when the process was created. Children are never left as zombies.
    virtual bool StartProcess(const CProcessStart& start) = 0;
    // The suffix of executable file names on this platform (".exe" or empty).
    virtual std::string ExecutableSuffix() = 0;
    virtual DWORD CurrentProcessId() = 0;
};

struct CPlatformServices {
    IModuleService& module;
    IFileService& files;
    IAdapterService& adapters;
    IClockService& clock;
    IHttpService& http;
    IProcessService& processes;
    IStateFolderService& state;
};

// The services of the linked backend.
CPlatformServices& AfxGetPlatformServices();

// A path of the system's form as the platform writes it (for the player's eyes: the log).
std::string AfxDisplayPath(const std::string& strSystemPath);

// Asks the current message loop to end with nExitCode.
void AfxPostQuitMessage(int nExitCode);
