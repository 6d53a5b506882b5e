#pragma once
// Parts of the program that are loaded when first needed rather than at every start: each is a
// shared module beside the program (a build) or in ../lib/vantrel-planner (installed), so the
// libraries it brings (sound output with its codecs, say) cost nothing until it is used.
#include <QString>
#include <QtGlobal>

namespace vantrel::platform {

// The function `symbol` of the module `name` ("vantrel-audio"), loaded at its first use and kept
// for the run; null, with the reason in `error`, when it cannot be had. VANTREL_MODULE_DIR names
// a folder to look in first.
QFunctionPointer moduleFunction(const QString& name, const char* symbol, QString* error);

} // namespace vantrel::platform
