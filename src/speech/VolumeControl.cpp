#include "speech/VolumeControl.h"

#include <algorithm>

namespace speech {

namespace {
constexpr int FullVolume = 65535;
} // namespace

void VolumeControl::setVolume(int volume)
{
    m_volume = std::clamp(volume, 0, FullVolume);
    if (m_output)
        m_output(double(m_volume) / FullVolume);
}

void VolumeControl::setOutput(std::function<void(double)> output)
{
    m_output = std::move(output);
    if (m_output)
        m_output(double(m_volume) / FullVolume);
}

} // namespace speech
