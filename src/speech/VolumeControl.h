#pragma once

// The system's speaker volume for the volume slider, 0 to 65535 for all channels together.
// It is the ALSA mixer's "Master" playback volume on the "default" card (which PulseAudio
// and PipeWire also serve); where no such mixer exists the volume goes to the speech
// output's own volume instead, and reads back what was last set (65535 at first).

#include <functional>
#include <memory>

namespace speech {

class VolumeControl
{
public:
    VolumeControl();
    virtual ~VolumeControl();
    VolumeControl(const VolumeControl &) = delete;
    VolumeControl &operator=(const VolumeControl &) = delete;

    bool hasMixer() const;

    virtual int volume() const;
    // Clamped to 0..65535.
    virtual void setVolume(int volume);

    // Where the volume goes without a mixer: the output's volume from 0 to 1.
    void setFallback(std::function<void(double)> fallback);

protected:
    // For fakes that keep the volume themselves.
    struct NoMixer
    {
    };
    explicit VolumeControl(NoMixer);

private:
    struct Mixer;
    std::unique_ptr<Mixer> m_mixer;
    int m_fallbackVolume = 65535;
    std::function<void(double)> m_fallback;
};

} // namespace speech
