#pragma once
// The tasks of the command line, done on the tables without a window: export a calendar, import
// one into a profile, write a profile's medicine list as a PDF. Each says what it did on the
// standard output, or why it could not on the standard error, and gives the exit code.
#include "core/options.h"

namespace vantrel {

int runCommandTask(const StartupOptions& options, int argc, char** argv);

} // namespace vantrel
