// The headless services where the program has no window model (the Windows logic tests).
#include "framework/headless/headless_platform.h"

void HeadlessResetWindows() {}
