#include "platform/audio.h"
#include "platform/qt/module.h"

namespace vantrel::platform {

namespace {

// Where the sound module cannot be loaded, every sound fails with the reason, as a file that
// cannot be played does.
class NoAudio : public AudioPlayer {
public:
    explicit NoAudio(QString why) : m_why(std::move(why)) {}
    void play(const std::string&) override {
        if (onError) onError(("Sound cannot be played: " + m_why + ".").toStdString());
    }
    void stop() override {}
    bool playing() const override { return false; }

private:
    QString m_why;
};

} // namespace

// The player lives in the module "vantrel-audio", which brings Qt Multimedia and the system's
// sound libraries with it at the first sound rather than at every start.
std::unique_ptr<AudioPlayer> makeAudioPlayer() {
    using Make = AudioPlayer* (*)();
    QString why;
    if (const auto make = reinterpret_cast<Make>(moduleFunction(QStringLiteral("vantrel-audio"), "vantrelMakeAudioPlayer", &why)))
        return std::unique_ptr<AudioPlayer>(make());
    return std::make_unique<NoAudio>(why);
}

} // namespace vantrel::platform
