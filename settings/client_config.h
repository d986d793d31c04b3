// The process-wide settings: a table of named 8-bit strings with built-in defaults, the settings
// file pm_config.ini next to the executable (read once, only ever appended to), and the program
// directory.
#pragma once

#include <map>
#include <string>

class CClientConfig {
public:
    // The singleton, constructed first if it does not exist yet.
    static CClientConfig* Instance();

    // Fills the directory cache, then assigns the seven built-in defaults (overwriting them).
    void SetDefaults();
    // Reads the entries of pm_config.ini into the table; called right after SetDefaults. The run's
    // log learns then whether it is on ("log" = "off" turns it off).
    void ReadSettingsFile();

    // The value stored under the key (exact, case-sensitive), or the empty string.
    std::string GetValue(const std::string& strKey) const;
    void SetValue(const std::string& strKey, const std::string& strValue);

    // Appends CR LF, key, "=" and value to an existing pm_config.ini. The table is not changed; a
    // settings file that cannot be opened is left alone.
    void AppendEntry(const std::string& strKey, const std::string& strValue);

    // The directory of the running executable, without a trailing backslash.
    std::string ProgramDirectory();

    // The first address of the launcher's browser (the server list).
    std::string StartPage();

private:
    void ReadSettingsText();
    std::string SettingsFilePath();

    std::map<std::string, std::string> m_mapSettings;
    std::string m_strProgramDirectory;
};

// The singleton's storage; set during static initialisation, never freed.
extern CClientConfig* g_pClientConfig;
