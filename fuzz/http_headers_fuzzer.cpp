// The HTTP reply's header lines as the Linux client reads them (CHttpHeadLines, fed the lines
// libcurl's header callback hands over): which head is the answer, for any lines.
//
// Input: byte 0 chooses the mode.
//   even: raw lines, the rest of the input split after each LF (any bytes, any line ends);
//   odd:  well-formed heads: per head one byte of status (100 + byte * 2), one byte of flags
//         (bit 0: a Location line, bit 1: LF alone as line end, bits 2-3: how many other lines),
//         then the other lines' text up to a LF each.
// Checks: the answer's head, once received, stays received; a status line sets the status from its
// three digits; for well-formed heads the answer is the first head that is neither interim (1xx)
// nor a redirect with a Location, and it is received exactly when its blank line comes.
#include "fuzz/fuzz_support.h"

#include "framework/linux/linux_http_head.h"

#include <cctype>
#include <string>

namespace {

bool IsSpecialLine(const std::string& strLine) {
    std::string strLower;
    for (char c : strLine.substr(0, 9)) {
        strLower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return strLower.starts_with("http/") || strLower.starts_with("location:") || strLine.empty() ||
           strLine[0] == '\r' || strLine[0] == '\n';
}

void RawLines(CFuzzInput& input) {
    CHttpHeadLines head;
    const std::string strRest = input.Rest();
    bool bReceived = false;
    for (std::size_t nStart = 0; nStart < strRest.size();) {
        const std::size_t nEnd = strRest.find('\n', nStart);
        const std::size_t nLength = nEnd == std::string::npos ? strRest.size() - nStart : nEnd + 1 - nStart;
        head.OnLine(std::string_view(strRest).substr(nStart, nLength));
        FUZZ_CHECK(!bReceived || head.AnswerHeadReceived());
        bReceived = head.AnswerHeadReceived();
        nStart += nLength;
    }
    head.OnBody();
    FUZZ_CHECK(head.AnswerHeadReceived());
}

void WellFormedHeads(CFuzzInput& input) {
    CHttpHeadLines head;
    bool bAnswered = false;
    for (int nHead = 0; nHead < 16; ++nHead) {
        const int nStatus = 100 + input.Byte() * 2;
        const unsigned char flags = input.Byte();
        const bool bLocation = (flags & 1) != 0;
        const std::string strEnd = (flags & 2) != 0 ? "\n" : "\r\n";
        head.OnLine("HTTP/1.1 " + std::to_string(nStatus) + " Reason" + strEnd);
        FUZZ_CHECK(head.Status() == nStatus);
        FUZZ_CHECK(head.AnswerHeadReceived() == bAnswered);
        if (bLocation) {
            head.OnLine("Location: /next" + strEnd);
        }
        for (int nLine = 0; nLine < ((flags >> 2) & 3); ++nLine) {
            const std::string strLine = input.Field('\n');
            if (IsSpecialLine(strLine)) {
                continue;
            }
            head.OnLine(strLine + strEnd);
            FUZZ_CHECK(head.AnswerHeadReceived() == bAnswered);
        }
        head.OnLine(strEnd);
        const bool bAnswer = nStatus / 100 != 1 && !(nStatus / 100 == 3 && bLocation);
        bAnswered = bAnswered || bAnswer;
        FUZZ_CHECK(head.AnswerHeadReceived() == bAnswered);
        if (input.AtEnd()) {
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    CFuzzInput input(pData, nSize);
    if ((input.Byte() & 1) == 0) {
        RawLines(input);
    } else {
        WellFormedHeads(input);
    }
    return 0;
}
