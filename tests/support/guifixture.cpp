#include "support/guifixture.h"

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

namespace vantrel::test {

MainWindowFixture::MainWindowFixture(const std::function<void(Settings&)>& before,
                                     const std::function<void(MainWindowFixture&)>& beforeWindow,
                                     const QStringList& profiles) {
    Messages::setTestMode(true);
    Messages::clearShown();
    TfrmMain::setTrayAvailableForTesting(true);
    auto fake = std::make_unique<FakeClock>(QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
    clock = fake.get();
    ctx.clock = std::move(fake);
    // The program's folder, where the build puts the welcome and help pages.
    ctx.ProgramDir =
        QFileInfo(QString::fromLocal8Bit(qgetenv("VANTREL_PLANNER"))).absolutePath() + QLatin1Char('/');
    ctx.DataDir = box.dataDir();
    ctx.store = platform::openSettingsFile(box.settingsFile().toStdString());
    ctx.autoStart = platform::makeAutoStartEntry(box.configDir().toStdString());
    SetDefaultSettings(ctx.settings, 1080, [] { return std::optional<std::string>("Germany"); });
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

void clickOk(QWidget* dialog) {
    QTest::mouseClick(child<QPushButton>(dialog, "BitBtn1"), Qt::LeftButton);
}

} // namespace vantrel::test
