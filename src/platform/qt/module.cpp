#include "platform/qt/module.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLibrary>
#include <QMutex>
#include <QStringList>

namespace vantrel::platform {

namespace {

QStringList folders() {
    QStringList out;
    if (qEnvironmentVariableIsSet("VANTREL_MODULE_DIR")) out << qEnvironmentVariable("VANTREL_MODULE_DIR");
    const QString program = QCoreApplication::applicationDirPath();
    out << program << QDir::cleanPath(program + QStringLiteral("/../lib/vantrel-planner"));
    return out;
}

} // namespace

QFunctionPointer moduleFunction(const QString& name, const char* symbol, QString* error) {
    // A module once loaded stays for the run: what it made may still be in use. The mail worker
    // asks from a thread of its own.
    static QMutex guard;
    static QHash<QString, QLibrary*> loaded;
    const QMutexLocker lock(&guard);
    QLibrary* library = loaded.value(name);
    if (!library) {
        QStringList problems;
        for (const QString& folder : folders()) {
            auto* candidate = new QLibrary(QDir(folder).filePath(name));
            if (candidate->load()) {
                library = candidate;
                break;
            }
            problems << candidate->errorString();
            delete candidate;
        }
        if (!library) {
            if (error) *error = QStringLiteral("the module \"%1\" cannot be loaded (%2)").arg(name, problems.join(QStringLiteral("; ")));
            return nullptr;
        }
        loaded.insert(name, library);
    }
    const QFunctionPointer f = library->resolve(symbol);
    if (!f && error) *error = QStringLiteral("the module \"%1\" lacks %2").arg(name, QString::fromLatin1(symbol));
    return f;
}

} // namespace vantrel::platform
