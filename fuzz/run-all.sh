#!/bin/sh
# Builds the fuzz preset (configuring it first if needed) and runs every fuzz target, one after the
# other, for the given number of seconds each (default 30).
#
#   fuzz/run-all.sh [seconds]
#
# Each target starts from its committed corpus (fuzz/corpus/<target>/, read only) and writes what it
# finds into a scratch folder that is thrown away, so runs never grow the committed corpora. Exits
# non-zero when any target crashes, leaks, trips a sanitizer or a check, or does not end in time; the
# inputs that did it are kept in build/fuzz/artifacts/<target>/.
#
# Environment: FUZZ_BUILD_JOBS limits the build's parallel jobs (e.g. 1 on a shared machine);
# FUZZ_TARGETS runs only the named targets (blank-separated).
set -eu

seconds="${1:-30}"
case "$seconds" in
'' | *[!0-9]*)
    echo "usage: $0 [seconds]" >&2
    exit 2
    ;;
esac

fuzz_dir="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$fuzz_dir")"
build="$root/build/fuzz"
targets="${FUZZ_TARGETS:-client_command_fuzzer codepage_fuzzer http_headers_fuzzer login_rules_fuzzer report_response_fuzzer settings_file_fuzzer start_page_fuzzer wininet_redirect_fuzzer}"

cd "$root"
if [ ! -f "$build/build.ninja" ]; then
    cmake --preset fuzz
fi
cmake --build --preset fuzz ${FUZZ_BUILD_JOBS:+-j "$FUZZ_BUILD_JOBS"}

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT INT TERM

# Leaks are errors; UBSan stops at the first report (the code is built with -fno-sanitize-recover).
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

failed=""
for target in $targets; do
    artifacts="$build/artifacts/$target"
    mkdir -p "$scratch/$target" "$artifacts"
    set -- -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/"
    if [ -f "$fuzz_dir/dict/$target.dict" ]; then
        set -- "$@" -dict="$fuzz_dir/dict/$target.dict"
    fi
    log="$scratch/$target.log"
    echo "== $target (${seconds} s)"
    rc=0
    # The margin covers loading the corpus and the sanitizers' report at exit.
    timeout --kill-after=30 "$((seconds + 120))" "$build/fuzz/$target" "$@" \
        "$scratch/$target" "$fuzz_dir/corpus/$target" >"$log" 2>&1 || rc=$?
    if [ "$rc" -ne 0 ] ||
        grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|check failed:|SUMMARY: ' "$log"; then
        echo "FAILED: $target (exit $rc); inputs in $artifacts/" >&2
        tail -n 60 "$log" >&2
        failed="$failed $target"
    else
        grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec)' "$log" || true
    fi
done

if [ -n "$failed" ]; then
    echo "failed:$failed" >&2
    exit 1
fi
echo "all fuzz targets ran clean"
