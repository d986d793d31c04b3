#include "settings/settings_file.h"

namespace {

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char ch) { return ch == ' ' || ch == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool HasControlBytes(std::string_view line) {
    for (char ch : line) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte < 0x20 && ch != '\t') || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<std::pair<std::string, std::string>> ParseSettingsText(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<std::pair<std::string, std::string>> entries;
    while (!text.empty()) {
        const std::size_t nEnd = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, nEnd);
        if (nEnd == std::string_view::npos) {
            text = {};
        } else {
            const std::size_t nBreak = text.compare(nEnd, 2, "\r\n") == 0 ? 2 : 1;
            text.remove_prefix(nEnd + nBreak);
        }
        const std::string_view content = Trim(line);
        if (content.empty() || content.front() == ';' || content.front() == '#' || content.front() == '[' ||
            HasControlBytes(content)) {
            continue;
        }
        const std::size_t nEquals = content.find('=');
        if (nEquals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(content.substr(0, nEquals));
        if (key.empty()) {
            continue;
        }
        entries.emplace_back(std::string(key), std::string(Trim(content.substr(nEquals + 1))));
    }
    return entries;
}

std::string FormatSettingsEntry(const std::string& strKey, const std::string& strValue) {
    return "\r\n" + strKey + "=" + strValue;
}
