#pragma once

// The volume slider's volume, 0 to 65535: the program's own speech output volume (the
// stream a desktop mixer lists under the program's name). The system's volume is left
// alone. It reads back what was last set, 65535 at first.

#include <functional>

namespace speech {

class VolumeControl
{
public:
    VolumeControl() = default;
    virtual ~VolumeControl() = default;
    VolumeControl(const VolumeControl &) = delete;
    VolumeControl &operator=(const VolumeControl &) = delete;

    virtual int volume() const { return m_volume; }
    // Clamped to 0..65535.
    virtual void setVolume(int volume);

    // Where the volume goes: the output's volume from 0 to 1.
    void setOutput(std::function<void(double)> output);

private:
    int m_volume = 65535;
    std::function<void(double)> m_output;
};

} // namespace speech
