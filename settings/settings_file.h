// The text format of pm_config.ini.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The settings file is read up to this size; a longer file contributes its complete lines before it.
constexpr std::size_t kMaxSettingsFileBytes = 16 * 1024 * 1024;

// The well-formed entries of a settings file, in file order: one key=value per line (CR LF, LF or a
// lone CR end a line), split at the first "=", blanks and tabs around key and value trimmed. Skipped:
// a UTF-8 byte-order mark at the start, blank lines, lines without "=" or with an empty key,
// [section] lines, lines starting with ";" or "#", and lines holding NUL or other control bytes.
std::vector<std::pair<std::string, std::string>> ParseSettingsText(std::string_view text);

// The bytes one append adds: CR LF, key, "=", value, with no line break after the value.
std::string FormatSettingsEntry(const std::string& strKey, const std::string& strValue);
