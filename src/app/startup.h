#pragma once
#include "core/options.h"
#include "core/settings.h"

namespace vantrel {

struct Context;

// Applies the defaults and reads the stored settings over them; on a first run the defaults are
// written at once. A damaged file is kept aside and reported, a bad window value is reported,
// and start-up goes on in every case. Without a lookup the system's regional country is asked.
void loadOrCreateSettings(Context& ctx, int screenHeight, const QString& path,
                          const CountryLookup& country = {});

// Where one run keeps its things. Start-up fills it from the system; tests from a sandbox.
struct ContextSetup {
    QString programDir; // with its trailing separator
    QString settingsFile;
    QString configDir;        // the auto-start entry lives below it
    QString requestedDataDir; // --data-dir, or empty
    QString userDataDir;      // when the program's folder cannot be written
    int screenHeight = 768;
    CountryLookup country; // empty: the system's regional country
};

// Fills the context of a run: folders, settings (read or made), the auto-start entry and the
// data folder. The program and the tests build their context through this one path.
void setUpContext(Context& ctx, const ContextSetup& setup);

// The program's names, under which its settings and data folders are found.
void nameApplication();
// Where this run keeps its things, as the system says (the application object exists).
ContextSetup systemSetup(const QString& requestedDataDir);

// The program: everything from the single-instance test to the end of the message loop.
int runPlanner(int argc, char** argv);

} // namespace vantrel
