// The report's HTTP response: a body collected under a size bound from chunks of any size, then read
// line by line to its end the way the reporter does, directly and through CClientReporter::HitUrl.
//
// Input: three control bytes, the chunk sizes, then the data that arrives.
//   byte 0, bit 0: the outcome (Completed, ReadFailed); bits 1-7: added to the error number
//   byte 1: the body bound, 0-63 bytes
//   byte 2: how many chunk sizes follow (0-7; none: the data arrives in one chunk)
#include "fuzz/fuzz_support.h"

#include "framework/app.h"
#include "framework/headless/headless_platform.h"
#include "framework/internet.h"
#include "settings/client_reporter.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr const char* kReportUrl = "http://report.example/r?mac=0A1B2C3D4E5F&time=17:03:04 GMT+0800";

// The body as a backend collects it: chunks appended until the bound says stop.
std::string CollectBody(const std::string& strData, const std::vector<std::size_t>& chunkSizes,
                        std::size_t nMaxBytes) {
    std::string strBody;
    std::size_t nFed = 0;
    bool bMore = true;
    for (std::size_t i = 0; bMore && nFed < strData.size(); ++i) {
        const std::size_t nChunk = chunkSizes.empty() ? strData.size() : chunkSizes[i % chunkSizes.size()];
        const std::size_t nBytes = std::min(nChunk, strData.size() - nFed);
        const std::size_t nBefore = strBody.size();
        bMore = AfxAppendBounded(strBody, strData.data() + nFed, nBytes, nMaxBytes);
        nFed += nBytes;
        FUZZ_CHECK(strBody.size() <= nMaxBytes);
        FUZZ_CHECK(strBody.size() >= nBefore);
        FUZZ_CHECK(strData.compare(0, strBody.size(), strBody) == 0);
        if (bMore) {
            // All of the chunk was taken, and there is room for more.
            FUZZ_CHECK(strBody.size() == nBefore + nBytes);
            FUZZ_CHECK(strBody.size() < nMaxBytes);
        } else {
            // The bound is reached exactly; nothing beyond it was taken.
            FUZZ_CHECK(strBody.size() == nMaxBytes);
        }
    }
    if (bMore) {
        FUZZ_CHECK(strBody == strData);
    } else {
        FUZZ_CHECK(strBody == strData.substr(0, nMaxBytes));
    }
    return strBody;
}

// Reads the response to its end. Lines come without their LF (or CR LF) and with nothing lost; a
// broken transfer fails after its last line, with its error number.
void CheckLines(const CHttpResult& result) {
    const std::string& strBody = result.strBody;
    CStdioFile file(result);
    std::vector<std::string> lines;
    std::string strLine;
    const auto readAll = [&] {
        while (file.ReadString(strLine)) {
            lines.push_back(strLine);
            FUZZ_CHECK(strLine.find('\n') == std::string::npos);
            FUZZ_CHECK(lines.size() <= strBody.size() + 1);
        }
    };
    if (result.eOutcome == EHttpOutcome::ReadFailed) {
        bool bThrown = false;
        try {
            readAll();
        } catch (const CInternetException& e) {
            bThrown = true;
            FUZZ_CHECK(e.m_dwError == result.dwError);
        }
        FUZZ_CHECK(bThrown);
    } else {
        readAll();
        FUZZ_CHECK(!file.ReadString(strLine));
        FUZZ_CHECK(strLine.empty());
    }

    // One line per LF, and one for text after the last LF.
    const std::size_t nBreaks = static_cast<std::size_t>(std::count(strBody.begin(), strBody.end(), '\n'));
    FUZZ_CHECK(lines.size() == nBreaks + (!strBody.empty() && strBody.back() != '\n' ? 1 : 0));
    std::size_t nAt = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(strBody.compare(nAt, lines[i].size(), lines[i]) == 0);
        nAt += lines[i].size();
        if (strBody.compare(nAt, 1, "\n") == 0) {
            nAt += 1;
        } else if (strBody.compare(nAt, 2, "\r\n") == 0) {
            nAt += 2;
        } else {
            // Only the last line may end without LF (a CR there is dropped too).
            FUZZ_CHECK(i + 1 == lines.size());
            nAt += strBody.compare(nAt, 1, "\r") == 0 ? 1 : 0;
        }
    }
    FUZZ_CHECK(nAt == strBody.size());

    // A closed file has nothing more to give, and no failure either.
    file.Close();
    FUZZ_CHECK(!file.ReadString(strLine));
}

// The reporter reads the response through the session; only a broken transfer reaches its caller.
void CheckHitUrl(const CHttpResult& result) {
    FuzzResetProcess();
    Headless().http.m_response = result;
    CWinApp app;
    AfxWinInit(&app, "");
    bool bThrown = false;
    try {
        CClientReporter::Instance()->HitUrl(kReportUrl);
    } catch (const CInternetException& e) {
        bThrown = true;
        FUZZ_CHECK(e.m_dwError == result.dwError);
    }
    FUZZ_CHECK(bThrown == (result.eOutcome == EHttpOutcome::ReadFailed));
    FUZZ_CHECK(Headless().http.m_requests.size() == 1);
    FUZZ_CHECK(Headless().http.m_requests[0].strUrl == kReportUrl);
    FuzzResetProcess();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    FuzzResetProcess();
    CFuzzInput input(pData, nSize);
    const unsigned char byteOutcome = input.Byte();
    const std::size_t nMaxBytes = input.Byte() % 64;
    std::vector<std::size_t> chunkSizes(input.Byte() % 8);
    for (std::size_t& nChunk : chunkSizes) {
        nChunk = input.Byte();
    }
    if (std::all_of(chunkSizes.begin(), chunkSizes.end(), [](std::size_t n) { return n == 0; })) {
        chunkSizes.clear();
    }
    const std::string strData = input.Rest();

    CHttpResult result;
    result.eOutcome = (byteOutcome & 1) != 0 ? EHttpOutcome::ReadFailed : EHttpOutcome::Completed;
    result.dwError = result.eOutcome == EHttpOutcome::ReadFailed ? 12002 + (byteOutcome >> 1) : 0;
    result.strBody = CollectBody(strData, chunkSizes, nMaxBytes);

    CheckLines(result);
    CheckHitUrl(result);

    // An address that cannot be opened is swallowed by the reporter.
    CheckHitUrl(CHttpResult{EHttpOutcome::OpenFailed, 12029, result.strBody});
    return 0;
}
