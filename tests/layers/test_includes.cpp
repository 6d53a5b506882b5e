// Includes point one way. The ground (errors) includes nothing of ours; platform and data stand
// on it; the core stands on those; our widgets on the core; the pages and windows on all of them
// and on the shell's wrappers, never on the main window or the start-up.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kSource = QStringLiteral(VANTREL_SOURCE_DIR);

struct Rule {
    QString folder;
    QStringList allowed; // folder prefixes or exact headers this folder may include
};

// The shell headers that pages and dialogs may use.
const QStringList kShellWrappers = {"app/messages.h", "app/dialogs.h", "app/pagehost.h"};

QList<Rule> rules() {
    const QStringList below = {"core/", "data/", "platform/", "widgets/"};
    return {
        {"platform/", {"platform/", "core/errors.h"}},
        {"data/", {"data/", "platform/", "core/errors.h"}},
        {"core/", {"core/", "data/", "platform/"}},
        {"widgets/", {"widgets/", "core/", "data/", "platform/"}},
        {"notify/", below + kShellWrappers + QStringList{"notify/"}},
        {"schedule/", below + kShellWrappers + QStringList{"schedule/", "notify/"}},
        {"records/", below + kShellWrappers + QStringList{"records/", "schedule/", "notify/"}},
    };
}

bool allowed(const QString& target, const QStringList& allowedList) {
    for (const QString& a : allowedList)
        if (a.endsWith(QLatin1Char('/')) ? target.startsWith(a) : target == a) return true;
    return false;
}

// Every quoted include of ours in a source file, with its line number.
QList<QPair<int, QString>> includesOf(const QString& file) {
    static const QRegularExpression re(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""));
    QList<QPair<int, QString>> out;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return out;
    int line = 0;
    while (!f.atEnd()) {
        ++line;
        const auto m = re.match(QString::fromUtf8(f.readLine()));
        if (m.hasMatch()) out.append({line, m.captured(1)});
    }
    return out;
}

QStringList violations() {
    QStringList found;
    QDirIterator it(kSource, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(kSource).relativeFilePath(path);
        const auto incs = includesOf(path);
        if (rel == QLatin1String("core/errors.h")) {
            for (const auto& [line, target] : incs)
                found << QStringLiteral("%1:%2 includes %3").arg(rel).arg(line).arg(target);
            continue;
        }
        for (const Rule& r : rules()) {
            if (!rel.startsWith(r.folder)) continue;
            for (const auto& [line, target] : incs) {
                if (target.startsWith(QLatin1String("ui_")) || target.endsWith(QLatin1String(".moc")) ||
                    target == QLatin1String("version.h"))
                    continue;
                if (!allowed(target, r.allowed))
                    found << QStringLiteral("%1:%2 includes %3").arg(rel).arg(line).arg(target);
            }
        }
    }
    return found;
}

} // namespace

class TestIncludes : public QObject {
    Q_OBJECT
private slots:
    void includesPointOneWay() {
        QVERIFY2(QFileInfo(kSource + QStringLiteral("/core/errors.h")).isFile(), qPrintable(kSource));
        const QStringList bad = violations();
        QVERIFY2(bad.isEmpty(), qPrintable(QStringLiteral("\n") + bad.join(QLatin1Char('\n'))));
    }

    // The reader itself: a wrong direction in a file it scans is reported.
    void aWrongIncludeIsFound() {
        QVERIFY(!allowed(QStringLiteral("app/mainwindow.h"), rules().at(6).allowed));
        QVERIFY(!allowed(QStringLiteral("core/context.h"), rules().at(1).allowed));
        QVERIFY(allowed(QStringLiteral("core/errors.h"), rules().at(1).allowed));
        QVERIFY(!allowed(QStringLiteral("records/doctorspage.h"), rules().at(3).allowed));
    }
};

QTEST_GUILESS_MAIN(TestIncludes)
#include "test_includes.moc"
