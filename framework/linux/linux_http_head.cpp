// The heads of an HTTP transfer, line by line (see linux_http_head.h).
#include "framework/linux/linux_http_head.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
    if (line.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

void CHttpHeadLines::OnLine(std::string_view line) {
    if (StartsWithNoCase(line, "http/")) {
        const std::size_t nBlank = line.find(' ');
        m_nStatus =
            nBlank == std::string_view::npos ? 0 : std::atoi(std::string(line.substr(nBlank + 1, 3)).c_str());
        m_bLocation = false;
    } else if (StartsWithNoCase(line, "location:")) {
        m_bLocation = true;
    } else if (line.size() <= 2 && (line.empty() || line[0] == '\r' || line[0] == '\n')) {
        // The end of a head: interim (1xx) heads and redirects that are followed are not the answer.
        const bool bInterim = m_nStatus / 100 == 1;
        const bool bFollowed = m_nStatus / 100 == 3 && m_bLocation;
        if (!bInterim && !bFollowed) {
            m_bAnswerHead = true;
        }
    }
}
