#pragma once
#include "app/options.h"

namespace vantrel {

// The program: everything from the single-instance test to the end of the message loop.
int runPlanner(int argc, char** argv);

} // namespace vantrel
