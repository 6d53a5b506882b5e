#include "core/shared.h"

#include "platform/osinfo.h"

#include <QDir>
#include <QFileInfo>

namespace vantrel {

void SplitList(const QString& text, QStringList& target, int& count) {
    count = 0;
    for (const QString& piece : text.split(QLatin1Char(';'))) {
        target.append(piece.trimmed());
        ++count;
    }
}

void ClearTempFolder(const QString& folder) {
    QDir dir(folder);
    const auto files = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& f : files)
        QFile::remove(f.absoluteFilePath());
}

void TrimWorkingSet() {
    platform::trimWorkingSet();
}
bool IsNTPlatform() {
    return platform::isNTPlatform();
}
QString GetOSName() {
    return QString::fromStdString(platform::osName());
}
QString GetWindowsDir() {
    return QString::fromStdString(platform::systemDir());
}

bool hasStartupArgument(const QStringList& arguments) {
    for (const QString& a : arguments)
        if (a.toLower() == QLatin1String("startup")) return true;
    return false;
}

QString displayText(const QString& text, int limit) {
    if (text.size() <= limit) return text;
    int cut = limit;
    if (cut > 0 && text[cut - 1].isHighSurrogate()) --cut; // never half a character
    return text.left(cut) + QChar(0x2026);
}

} // namespace vantrel
