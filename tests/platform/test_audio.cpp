// The real player, from its module, on a short file this test writes. Machines without a sound device report an
// error instead of playing; either way the player must answer and never hang or crash.
#include "platform/audio.h"
#include "support/testsupport.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QtTest>

using namespace vantrel;

namespace {
// A quarter of a second of a 440 Hz tone, 8 kHz mono 16-bit.
QByteArray toneWav() {
    const int rate = 8000, samples = rate / 4;
    QByteArray data;
    for (int i = 0; i < samples; ++i) {
        const qint16 v = static_cast<qint16>(8000 * std::sin(2 * M_PI * 440 * i / rate));
        data.append(reinterpret_cast<const char*>(&v), 2);
    }
    QByteArray wav;
    auto u32 = [&](quint32 x) { wav.append(reinterpret_cast<const char*>(&x), 4); };
    auto u16 = [&](quint16 x) { wav.append(reinterpret_cast<const char*>(&x), 2); };
    wav.append("RIFF");
    u32(36 + data.size());
    wav.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(data.size());
    return wav + data;
}
// Plays the bytes as a file and waits for the player's answer: "" when it played to the end,
// else its error text.
QString playAndWait(const QByteArray& bytes) {
    test::Sandbox box;
    const QString file = box.path("sound.wav");
    test::writeAll(file, bytes);
    auto player = platform::makeAudioPlayer();
    bool finished = false;
    QString error;
    player->onFinished = [&] { finished = true; };
    player->onError = [&](const std::string& e) { error = QString::fromStdString(e); };
    player->play(file.toStdString());
    const bool answered = QTest::qWaitFor([&] { return finished || !error.isEmpty(); }, 15000);
    if (!answered) return QStringLiteral("no answer");
    if (player->playing()) return QStringLiteral("still playing");
    return error;
}

} // namespace

class TestAudio : public QObject {
    Q_OBJECT
private slots:
    // The player lives in a module loaded at the first sound. Where it cannot be found, a sound
    // fails with the reason, as any sound that cannot play does; none is taken for played. (First:
    // a module once loaded stays for the run.)
    void aMissingModuleIsSaid() {
        test::Sandbox box;
        const QByteArray kept = qgetenv("VANTREL_MODULE_DIR");
        qputenv("VANTREL_MODULE_DIR", box.path().toLocal8Bit());
        auto player = platform::makeAudioPlayer();
        qputenv("VANTREL_MODULE_DIR", kept);
        QString error;
        player->onError = [&](const std::string& e) { error = QString::fromStdString(e); };
        player->play("/usr/share/sounds/alarm.wav");
        QVERIFY2(error.startsWith("Sound cannot be played: the module \"vantrel-audio\" cannot be loaded"),
                 qPrintable(error));
        QVERIFY(!player->playing());
    }

    void aMissingFileIsAnErrorWithItsName() {
        auto player = platform::makeAudioPlayer();
        QString error;
        player->onError = [&](const std::string& e) { error = QString::fromStdString(e); };
        player->play("/no/such/chime.wav");
        QTRY_VERIFY(!error.isEmpty());
        QVERIFY(error.contains("/no/such/chime.wav"));
    }

    void aShortFileEndsOrIsReported() {
        const QString outcome = playAndWait(toneWav());
        qInfo() << (outcome.isEmpty() ? QStringLiteral("played to the end") : "reported: " + outcome);
        QVERIFY(outcome != "no answer" && outcome != "still playing");
        // A computer with no sound output is told so, not left to believe the alarm sounded.
        if (QMediaDevices::audioOutputs().isEmpty())
            QCOMPARE(outcome, QStringLiteral("No sound output is available on this computer."));
    }

    void garbageIsAnsweredToo() {
        const QString outcome = playAndWait(QByteArray(4000, '\x7f'));
        QVERIFY(outcome != "no answer" && outcome != "still playing");
    }
};

QTEST_MAIN(TestAudio)
#include "test_audio.moc"
