#include "support/guifixture.h"

#include "app/startup.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

namespace vantrel::test {

MainWindowFixture::MainWindowFixture(const std::function<void(Settings&)>& before,
                                     const std::function<void(MainWindowFixture&)>& beforeWindow,
                                     const QStringList& profiles) {
    ctx.hooks.answerMessages = true;
    ctx.hooks.trayAvailable = true;
    auto fake = std::make_unique<FakeClock>(QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
    clock = fake.get();
    ctx.clock = std::move(fake);
    ContextSetup setup;
    // The program's folder, where the build puts the welcome and help pages.
    setup.programDir =
        QFileInfo(QString::fromLocal8Bit(qgetenv("VANTREL_PLANNER"))).absolutePath() + QLatin1Char('/');
    setup.settingsFile = box.settingsFile();
    setup.configDir = box.configDir();
    setup.requestedDataDir = box.dataDir();
    setup.screenHeight = 1080;
    setup.country = [] { return std::optional<std::string>("Germany"); };
    setUpContext(ctx, setup);
    if (before) before(ctx.settings);
    ctx.saveSettings();
    seed([&](data::Database& db) {
        for (const QString& name : profiles)
            db.run(QStringLiteral("INSERT INTO patient (NAME) VALUES (?)"), {name});
    });
    if (beforeWindow) beforeWindow(*this);
    window = std::make_unique<TfrmMain>(ctx);
    window->FormCreate();
}

MainWindowFixture::~MainWindowFixture() {
    failOnModalWorkNeverRun();
    window.reset();
    ctx.db.close();
}

void MainWindowFixture::seed(const std::function<void(data::Database&)>& write) {
    data::Database db(QStringLiteral("fixture-seed"));
    db.open(box.dataDir());
    write(db);
    db.close();
}

platform::SettingsStore& MainWindowFixture::reloadStore() {
    ctx.store = platform::openSettingsFile(box.settingsFile().toStdString());
    return *ctx.store;
}

QList<std::shared_ptr<ModalWork>>& pendingModalWork() {
    static QList<std::shared_ptr<ModalWork>> pending;
    return pending;
}

void failOnModalWorkNeverRun() {
    QStringList never;
    for (const auto& w : pendingModalWork()) {
        w->cancelled = true;
        never << w->dialogType;
    }
    pendingModalWork().clear();
    if (!never.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("a dialog the test waited for never opened: ") +
                                never.join(QStringLiteral(", "))),
                     __FILE__, __LINE__);
}

void closeAfterFailure(QWidget* dialog) {
    if (auto* d = qobject_cast<QDialog*>(dialog))
        d->reject();
    else
        dialog->close();
}

void clickOk(QWidget* dialog) {
    QTest::mouseClick(child<QPushButton>(dialog, "BitBtn1"), Qt::LeftButton);
}

} // namespace vantrel::test
