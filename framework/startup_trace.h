// Start-up timing for the benchmarks. With DRELK_STARTUP_TRACE naming a file, each call appends one
// line "<event> <detail> <microseconds>" with the monotonic clock's time (CLOCK_MONOTONIC on Linux,
// the clock the benchmark scripts read too). Without it a call costs one test of a cached flag.
#pragma once

void AfxTraceStartup(const char* pszEvent, const char* pszDetail = "-");
