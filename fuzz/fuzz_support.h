// What every fuzz target shares: a check that ends the run with a message libFuzzer records as a
// crash, a fresh process state for every input, and a reader that splits the input into fields.
#pragma once

#include "framework/headless/headless_platform.h"
#include "settings/client_config.h"
#include "settings/client_reporter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

// A new headless platform and no settings or reporter singleton, as at process start.
inline void FuzzResetProcess() {
    HeadlessReset();
    delete g_pClientConfig;
    g_pClientConfig = nullptr;
    delete g_pClientReporter;
    g_pClientReporter = nullptr;
}

// The input, consumed from the front.
class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* pData, std::size_t nSize)
        : m_rest(reinterpret_cast<const char*>(pData), nSize) {}

    // The next byte, or 0 when the input is used up.
    unsigned char Byte() {
        if (m_rest.empty()) {
            return 0;
        }
        const auto byte = static_cast<unsigned char>(m_rest.front());
        m_rest.remove_prefix(1);
        return byte;
    }
    // The bytes up to the next separator (which is consumed), or all that is left.
    std::string Field(char chSeparator) {
        const std::size_t nEnd = m_rest.find(chSeparator);
        std::string strField(m_rest.substr(0, nEnd));
        m_rest.remove_prefix(nEnd == std::string_view::npos ? m_rest.size() : nEnd + 1);
        return strField;
    }
    bool AtEnd() const { return m_rest.empty(); }
    std::string Rest() {
        std::string strRest(m_rest);
        m_rest = {};
        return strRest;
    }

private:
    std::string_view m_rest;
};
