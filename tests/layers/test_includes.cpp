// Includes point one way, down the floors of the house:
//   base                          errors, logging, what every file may include
//   platform                      the operating system's services behind small interfaces
//   core                          no widget, no table; it uses the platform's services
//   data                          the table store
//   plans, session                the plan, its store and its rules; the context of a run
//   widgets, ui                   our component set; what every window uses
//   records, schedule, notify     the pages and their windows
//   app                           the shell, which alone wires the pages together
// A folder includes its own files and those of the floors below it; folders on one floor never
// include one another. An include without a folder is the including file's own folder's.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kSource = QStringLiteral(VANTREL_SOURCE_DIR);

const QList<QStringList>& floors() {
    static const QList<QStringList> f{{"base"},
                                      {"platform"},
                                      {"core"},
                                      {"data"},
                                      {"plans", "session"},
                                      {"widgets", "ui"},
                                      {"records", "schedule", "notify"},
                                      {"app"}};
    return f;
}

int floorOf(const QString& folder) {
    for (int i = 0; i < floors().size(); ++i)
        if (floors()[i].contains(folder)) return i;
    return -1;
}

// May a file of `from` include a file of `to`?
bool allowed(const QString& from, const QString& to) {
    if (from == to) return true;
    const int a = floorOf(from), b = floorOf(to);
    return a >= 0 && b >= 0 && b < a;
}

// Every quoted include in a source file, with its line number.
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
        const QString rel = QDir(kSource).relativeFilePath(it.next());
        if (!rel.contains(QLatin1Char('/'))) continue; // main.cpp stands above everything
        const QString folder = rel.section(QLatin1Char('/'), 0, 0);
        if (floorOf(folder) < 0) {
            found << QStringLiteral("%1 is in no floor of the house").arg(rel);
            continue;
        }
        for (const auto& [line, target] : includesOf(kSource + QLatin1Char('/') + rel)) {
            const QString to =
                target.contains(QLatin1Char('/')) ? target.section(QLatin1Char('/'), 0, 0) : folder;
            if (!allowed(folder, to))
                found << QStringLiteral("%1:%2 includes %3").arg(rel).arg(line).arg(target);
        }
    }
    return found;
}

} // namespace

class TestIncludes : public QObject {
    Q_OBJECT
private slots:
    void includesPointOneWay() {
        QVERIFY2(QFileInfo(kSource + QStringLiteral("/base/errors.h")).isFile(), qPrintable(kSource));
        const QStringList bad = violations();
        QVERIFY2(bad.isEmpty(), qPrintable(QStringLiteral("\n") + bad.join(QLatin1Char('\n'))));
    }

    // The rule itself: up, across a floor and between pages is refused; down is allowed.
    void theRuleRefusesUpAndAcross() {
        QVERIFY(!allowed("records", "app"));
        QVERIFY(!allowed("data", "session"));
        QVERIFY(!allowed("platform", "core"));
        QVERIFY(!allowed("records", "schedule"));
        QVERIFY(!allowed("plans", "session"));
        QVERIFY(!allowed("widgets", "ui"));
        QVERIFY(!allowed("base", "core"));
        QVERIFY(allowed("notify", "ui"));
        QVERIFY(allowed("data", "base"));
        QVERIFY(allowed("app", "records"));
        QVERIFY(!allowed("nowhere", "base"));
    }
};

QTEST_GUILESS_MAIN(TestIncludes)
#include "test_includes.moc"
