// The sound module (vantrel-audio): the audio player over Qt Multimedia, built as a module of its
// own so that Qt Multimedia and the system's sound libraries load at the first sound only.
#include "platform/audio.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace vantrel::platform {

namespace {

class QtAudioPlayer : public AudioPlayer {
public:
    QtAudioPlayer() {
        m_player.setAudioOutput(&m_output);
        QObject::connect(&m_player, &QMediaPlayer::playbackStateChanged,
                         [this](QMediaPlayer::PlaybackState s) {
                             if (s == QMediaPlayer::StoppedState && m_started && !m_failed) {
                                 m_started = false;
                                 if (onFinished) onFinished();
                             }
                         });
        QObject::connect(&m_player, &QMediaPlayer::errorOccurred,
                         [this](QMediaPlayer::Error, const QString& text) { fail(text.toStdString()); });
    }

    ~QtAudioPlayer() override {
        m_started = false;
        m_player.stop();
    }

    void play(const std::string& file) override {
        const QString path = QString::fromStdString(file);
        m_failed = false;
        if (!QFileInfo(path).isFile()) {
            fail("The audio file \"" + file + "\" cannot be found.");
            return;
        }
        // Without a sound output the player would only warn on the terminal.
        if (QMediaDevices::audioOutputs().isEmpty()) {
            fail("No sound output is available on this computer.");
            return;
        }
        m_started = true;
        m_player.setSource(QUrl::fromLocalFile(path));
        m_player.play();
    }

    void stop() override { m_player.stop(); }
    bool playing() const override { return m_player.playbackState() == QMediaPlayer::PlayingState; }

private:
    void fail(const std::string& text) {
        if (m_failed) return;
        m_failed = true;
        m_started = false;
        m_player.stop(); // nothing half-open is left behind
        if (onError) onError(text.empty() ? std::string("The audio file cannot be played.") : text);
    }

    QMediaPlayer m_player;
    QAudioOutput m_output;
    bool m_started = false;
    bool m_failed = false;
};

} // namespace

} // namespace vantrel::platform

// The module's one entry point: the program loads it at its first sound.
extern "C" Q_DECL_EXPORT vantrel::platform::AudioPlayer* vantrelMakeAudioPlayer() {
    return new vantrel::platform::QtAudioPlayer;
}
