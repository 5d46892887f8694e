// The command lines of quvupload and quvmonitor: the arguments are the input
// cut at each 0 byte.
#include "cli/monitor_run.h"
#include "cli/upload_run.h"
#include "fuzz.h"

using namespace quv::cli;

namespace {
template <class Options>
void checkLine(const ParsedLine<Options>& line) {
    if (line.action == LineAction::Usage) FUZZ_CHECK(!line.error.isEmpty());
    if (line.action != LineAction::Run) return;
    const Options& o = line.options;
    FUZZ_CHECK(o.timeoutSeconds >= 0 && o.timeoutSeconds <= kMaxTimeoutSeconds);
    FUZZ_CHECK(o.link != LinkOptions::Link::Port || o.port >= 1);
    FUZZ_CHECK(o.link != LinkOptions::Link::Device || !o.device.trimmed().isEmpty());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList arguments = fuzz::arguments(data, size);
    const CommandLine upload = parseCommandLine(arguments);
    checkLine(upload);
    if (upload.action == LineAction::Run)
        FUZZ_CHECK(upload.options.mode >= 1 && upload.options.mode <= 3 &&
                   upload.options.repeat >= 1);
    const MonitorCommandLine monitor = parseMonitorCommandLine(arguments);
    checkLine(monitor);
    if (monitor.action == LineAction::Run)
        FUZZ_CHECK(monitor.options.rawRate > 0 && monitor.options.count >= -1);
    return 0;
}
