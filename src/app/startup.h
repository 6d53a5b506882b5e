#pragma once
#include "core/options.h"

namespace vantrel {

struct Context;

// Applies the defaults and reads the stored settings over them; on a first run the defaults are
// written at once. A damaged file is kept aside and reported, a bad window value is reported,
// and start-up goes on in every case.
void loadOrCreateSettings(Context& ctx, int screenHeight, const QString& path);

// The program: everything from the single-instance test to the end of the message loop.
int runPlanner(int argc, char** argv);

} // namespace vantrel
