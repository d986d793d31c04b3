// Any bytes as pm_config.ini: the parser alone, and the table CClientConfig fills from the file.
//
// Input: three control bytes, then the file text.
//   byte 0: the line break inserted for the split check (% 3: LF, CR LF, CR)
//   bytes 1-2: the split point (an offset into the text)
//
// Files beyond the read bound (16 MiB) are left to the unit tests: under the sanitizers one such
// file takes a quarter of a second.
#include "fuzz/fuzz_support.h"

#include "framework/headless/headless_platform.h"
#include "settings/client_config.h"
#include "settings/settings_file.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using CEntries = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kSettingsPath = "C:\\Drelk\\pm_config.ini";
constexpr const char* kDefaultKeys[] = {"page", "platform", "home", "service", "bbs", "charge", "airclient"};
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

bool IsControl(char ch) {
    const auto byte = static_cast<unsigned char>(ch);
    return (byte < 0x20 && ch != '\t') || byte == 0x7F;
}

// What the parser may hand out at all: a trimmed non-empty key without "=" that does not read as a
// comment or section, a trimmed value, neither holding a line break, NUL or other control byte.
void CheckEntries(const CEntries& entries) {
    for (const auto& [strKey, strValue] : entries) {
        FUZZ_CHECK(!strKey.empty());
        FUZZ_CHECK(strKey.find('=') == std::string::npos);
        FUZZ_CHECK(!IsBlank(strKey.front()) && !IsBlank(strKey.back()));
        FUZZ_CHECK(strKey.front() != ';' && strKey.front() != '#' && strKey.front() != '[');
        FUZZ_CHECK(strValue.empty() || (!IsBlank(strValue.front()) && !IsBlank(strValue.back())));
        for (char ch : strKey) {
            FUZZ_CHECK(!IsControl(ch));
        }
        for (char ch : strValue) {
            FUZZ_CHECK(!IsControl(ch));
        }
    }
}

// The table a fresh configuration holds after reading the file.
CClientConfig* ReadConfiguration(const std::string& strFile) {
    delete g_pClientConfig;
    g_pClientConfig = nullptr;
    Headless().files.m_files[kSettingsPath].strBytes = strFile;
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->SetDefaults();
    pConfig->ReadSettingsFile();
    return pConfig;
}

// The defaults overwritten by the entries in order: what the table must answer.
std::map<std::string, std::string> Expected(const std::map<std::string, std::string>& defaults,
                                            const CEntries& entries) {
    std::map<std::string, std::string> expected = defaults;
    for (const auto& [strKey, strValue] : entries) {
        expected[strKey] = strValue;
    }
    return expected;
}

bool TableAnswers(const CClientConfig& config, const std::map<std::string, std::string>& expected) {
    for (const auto& [strKey, strValue] : expected) {
        if (config.GetValue(strKey) != strValue) {
            return false;
        }
    }
    return true;
}

std::map<std::string, std::string> Defaults() {
    delete g_pClientConfig;
    g_pClientConfig = nullptr;
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->SetDefaults();
    std::map<std::string, std::string> defaults;
    for (const char* pszKey : kDefaultKeys) {
        defaults[pszKey] = pConfig->GetValue(pszKey);
    }
    return defaults;
}

void CheckFile(const std::string& strText, unsigned char byteBreak, std::size_t nOffset) {
    const CEntries entries = ParseSettingsText(strText);
    CheckEntries(entries);
    FUZZ_CHECK(ParseSettingsText(strText) == entries);

    // Entries written back the way the program appends them read back unchanged.
    std::string strWritten;
    for (const auto& [strKey, strValue] : entries) {
        strWritten += FormatSettingsEntry(strKey, strValue);
    }
    FUZZ_CHECK(ParseSettingsText(strWritten) == entries);

    // A line break inserted anywhere splits the file into two that read as the two halves.
    const std::size_t nSplit = nOffset % (strText.size() + 1);
    const std::string strHead = strText.substr(0, nSplit);
    const std::string strTail = strText.substr(nSplit);
    if (strTail.compare(0, kByteOrderMark.size(), kByteOrderMark) != 0) {
        static constexpr const char* kBreaks[] = {"\n", "\r\n", "\r"};
        CEntries joined = ParseSettingsText(strHead);
        const CEntries tail = ParseSettingsText(strTail);
        joined.insert(joined.end(), tail.begin(), tail.end());
        FUZZ_CHECK(ParseSettingsText(strHead + kBreaks[byteBreak % 3] + strTail) == joined);
    }

    // The table: every default not in the file, and each key's last value in the file.
    const std::map<std::string, std::string> expected = Expected(Defaults(), entries);
    CClientConfig* pConfig = ReadConfiguration(strText);
    FUZZ_CHECK(TableAnswers(*pConfig, expected));
    for (const auto& [strKey, strValue] : entries) {
        // A key the file cannot hold is never in the table.
        FUZZ_CHECK(pConfig->GetValue(strKey + "\n").empty());
    }

    // The first-open report's append: the file then reads as before plus firstopen=false, whatever
    // the file ended with.
    pConfig->AppendEntry("firstopen", "false");
    const std::string strAppended = Headless().files.m_files[kSettingsPath].strBytes;
    FUZZ_CHECK(strAppended == strText + "\r\nfirstopen=false");
    std::map<std::string, std::string> expectedAfter = expected;
    expectedAfter["firstopen"] = "false";
    FUZZ_CHECK(TableAnswers(*ReadConfiguration(strAppended), expectedAfter));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    FuzzResetProcess();
    CFuzzInput input(pData, nSize);
    const unsigned char byteBreak = input.Byte();
    const std::size_t nOffsetHigh = input.Byte();
    const std::size_t nOffset = nOffsetHigh << 8 | input.Byte();
    const std::string strText = input.Rest();
    CheckFile(strText, byteBreak, nOffset);
    FuzzResetProcess();
    return 0;
}
