#include "speech/VolumeControl.h"

#include <alsa/asoundlib.h>

#include <algorithm>

namespace speech {

namespace {

constexpr int FullVolume = 65535;

// ALSA prints its own errors to stderr (for example when there is no sound card at all);
// a missing mixer is an ordinary case here, handled by the fallback.
void quietAlsaError(const char *, int, const char *, int, const char *, ...) {}

} // namespace

struct VolumeControl::Mixer
{
    snd_mixer_t *handle = nullptr;
    snd_mixer_elem_t *element = nullptr;
    long minimum = 0;
    long maximum = 0;

    bool open()
    {
        snd_lib_error_set_handler(quietAlsaError);
        if (snd_mixer_open(&handle, 0) < 0)
            return false;
        if (snd_mixer_attach(handle, "default") < 0 ||
            snd_mixer_selem_register(handle, nullptr, nullptr) < 0 || snd_mixer_load(handle) < 0)
            return false;
        snd_mixer_selem_id_t *id = nullptr;
        if (snd_mixer_selem_id_malloc(&id) < 0)
            return false;
        snd_mixer_selem_id_set_index(id, 0);
        snd_mixer_selem_id_set_name(id, "Master");
        element = snd_mixer_find_selem(handle, id);
        snd_mixer_selem_id_free(id);
        if (!element) {
            // A card without "Master": its first playback volume stands for the speakers.
            for (snd_mixer_elem_t *e = snd_mixer_first_elem(handle); e;
                 e = snd_mixer_elem_next(e)) {
                if (snd_mixer_selem_has_playback_volume(e)) {
                    element = e;
                    break;
                }
            }
        }
        if (!element || !snd_mixer_selem_has_playback_volume(element))
            return false;
        snd_mixer_selem_get_playback_volume_range(element, &minimum, &maximum);
        return maximum > minimum;
    }

    ~Mixer()
    {
        if (handle)
            snd_mixer_close(handle);
    }
};

VolumeControl::VolumeControl() : m_mixer(std::make_unique<Mixer>())
{
    if (!m_mixer->open())
        m_mixer.reset();
}

VolumeControl::VolumeControl(NoMixer) {}

VolumeControl::~VolumeControl() = default;

bool VolumeControl::hasMixer() const
{
    return m_mixer != nullptr;
}

int VolumeControl::volume() const
{
    if (!m_mixer)
        return m_fallbackVolume;
    snd_mixer_handle_events(m_mixer->handle);
    long value = 0;
    if (snd_mixer_selem_get_playback_volume(m_mixer->element, SND_MIXER_SCHN_FRONT_LEFT, &value) <
        0)
        return m_fallbackVolume;
    const long span = m_mixer->maximum - m_mixer->minimum;
    return int(((value - m_mixer->minimum) * FullVolume + span / 2) / span);
}

void VolumeControl::setVolume(int volume)
{
    volume = std::clamp(volume, 0, FullVolume);
    m_fallbackVolume = volume;
    if (m_mixer) {
        const long span = m_mixer->maximum - m_mixer->minimum;
        const long value = m_mixer->minimum + (long(volume) * span + FullVolume / 2) / FullVolume;
        if (snd_mixer_selem_set_playback_volume_all(m_mixer->element, value) >= 0)
            return;
    }
    if (m_fallback)
        m_fallback(double(volume) / FullVolume);
}

void VolumeControl::setFallback(std::function<void(double)> fallback)
{
    m_fallback = std::move(fallback);
}

} // namespace speech
