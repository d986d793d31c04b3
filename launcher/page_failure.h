// When a page cannot be shown: what failed, in the terms of the program's own page, and when the
// failed address is loaded again.
#pragma once

#include "framework/windefs.h"

#include <string>

enum class EPageFailure {
    None,             // not a failure the program shows a page for (an HTTP status, a cancelled load)
    NoNetwork,        // the computer has no network
    NameNotFound,     // the server's name cannot be resolved
    Refused,          // the server refused the connection
    NoAnswer,         // the server did not answer, or the connection broke off
    SecureConnection, // the secure connection failed (never bypassed)
    PageStopped,      // the page's process ended unexpectedly, twice in a short time
};

// The failure a NavigateError status code stands for.
EPageFailure ClassifyNavigateError(HRESULT hrStatus);

// The program's page names the failure by this code ("refused", ...); empty for None.
const char* PageFailureCode(EPageFailure eFailure);

// The page's parameters: the failure's code, ':', then the failed address (8-bit text of the process
// code page) as UTF-8 in hexadecimal, so that nothing of the address can look like anything in the
// page's own address.
std::string ComposeFailurePageParameters(EPageFailure eFailure, const std::string& strUrl);

// Seconds before the retry nRetry (0 the first): 3, 10, 30, 60, then every 60.
unsigned RetryDelaySeconds(unsigned nRetry);
