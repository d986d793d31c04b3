// The process-wide objects, constructed during static initialisation in this order: the settings,
// the application object, the reporter.
#include "app/drelk_client_app.h"
#include "settings/client_config.h"
#include "settings/client_reporter.h"

namespace {
const bool s_bConfigCreated = (g_pClientConfig = new CClientConfig, true);
} // namespace

CDrelkClientApp theApp;

namespace {
const bool s_bReporterCreated = (g_pClientReporter = new CClientReporter, true);
} // namespace
