#pragma once
// Plays one audio file, telling when it has finished or could not be played.
#include <functional>
#include <memory>
#include <string>

namespace vantrel::platform {

class AudioPlayer {
public:
    virtual ~AudioPlayer() = default;
    virtual void play(const std::string& file) = 0;
    virtual void stop() = 0;
    virtual bool playing() const = 0;

    std::function<void()> onFinished;                // played to the end, or stopped
    std::function<void(const std::string&)> onError; // the player's own error text
};

std::unique_ptr<AudioPlayer> makeAudioPlayer();

} // namespace vantrel::platform
