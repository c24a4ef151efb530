#include "speech/HtsVoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <HTS_engine.h>

#include <cmath>
#include <numbers>

namespace speech {

QString voiceFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("KOTONAMI_VOICE_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (QCoreApplication::instance()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/../share/kotonami/voices"));
        if (QFileInfo(installed).isDir())
            return installed;
    }
#ifdef KOTONAMI_SOURCE_VOICE_DIR
    return QStringLiteral(KOTONAMI_SOURCE_VOICE_DIR);
#else
    return QString();
#endif
}

QString voiceFile(bool female)
{
    return voiceFolder() + (female ? QStringLiteral("/mei_normal.htsvoice")
                                   : QStringLiteral("/nitech_jp_atr503_m001.htsvoice"));
}

std::unique_ptr<HtsVoice> japaneseVoice(bool female)
{
    auto voice = std::make_unique<HtsVoice>(voiceFile(female));
    voice->setAccentEmphasis(female ? 4.0 : 1.0);
    return voice;
}

struct HtsVoice::Engine
{
    HTS_Engine engine;
    bool loaded = false;
};

HtsVoice::HtsVoice(const QString &file) : m_engine(std::make_unique<Engine>()), m_file(file)
{
    HTS_Engine_initialize(&m_engine->engine);
    // libHTSEngine reads whatever it is given; a file that is not there, or far larger than
    // any voice, is not tried.
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > 64 * 1024 * 1024)
        return;
    QByteArray path = QFile::encodeName(file);
    char *voices[] = {path.data()};
    m_engine->loaded = HTS_Engine_load(&m_engine->engine, voices, 1) == TRUE;
    // A voice needs its spectrum and its pitch to speak.
    if (m_engine->loaded && HTS_Engine_get_nstream(&m_engine->engine) < 2)
        m_engine->loaded = false;
}

HtsVoice::~HtsVoice()
{
    HTS_Engine_clear(&m_engine->engine);
}

bool HtsVoice::isLoaded() const
{
    return m_engine->loaded;
}

int HtsVoice::frameSamples() const
{
    return m_engine->loaded ? int(HTS_Engine_get_fperiod(&m_engine->engine)) : 0;
}

int HtsVoice::sampleRate() const
{
    return m_engine->loaded ? int(HTS_Engine_get_sampling_frequency(&m_engine->engine)) : 0;
}

std::vector<qint16> HtsVoice::synthesize(const QStringList &labels, double speed)
{
    m_phonemeSamples.clear();
    m_framePitch.clear();
    std::vector<qint16> out;
    if (!m_engine->loaded || labels.isEmpty())
        return out;
    HTS_Engine *e = &m_engine->engine;
    HTS_Engine_set_speed(e, std::clamp(speed, 0.25, 4.0));
    std::vector<QByteArray> lines;
    std::vector<char *> pointers;
    lines.reserve(size_t(labels.size()));
    for (const QString &l : labels) {
        lines.push_back(l.toLatin1());
        pointers.push_back(lines.back().data());
    }
    if (HTS_Engine_generate_state_sequence_from_strings(e, pointers.data(), pointers.size()) !=
        TRUE) {
        HTS_Engine_refresh(e);
        return out;
    }
    const size_t states = HTS_Engine_get_nstate(e);
    if (m_emphasis != 0 && states > 0) {
        // Moves the pitch of every state of a high mora up and of a low one down; the log
        // F0 stream is the second.
        const double shift = m_emphasis / 12 * std::log(2.0);
        const size_t total = HTS_Engine_get_total_state(e);
        for (size_t s = 0; s < total; ++s) {
            const int level = accentLevel(labels.value(qsizetype(s / states)));
            if (level != 0)
                HTS_Engine_set_state_mean(e, 1, s, 0,
                                          HTS_Engine_get_state_mean(e, 1, s, 0) + level * shift);
        }
    }
    if (HTS_Engine_generate_parameter_sequence(e) != TRUE ||
        HTS_Engine_generate_sample_sequence(e) != TRUE) {
        HTS_Engine_refresh(e);
        return out;
    }
    const size_t n = HTS_Engine_get_nsamples(e);
    out.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double v = HTS_Engine_get_generated_speech(e, i);
        out[i] = qint16(std::clamp(std::lround(v), -32768L, 32767L));
    }
    const size_t period = HTS_Engine_get_fperiod(e);
    const size_t total = HTS_Engine_get_total_state(e);
    for (size_t s = 0; states > 0 && s + states <= total; s += states) {
        size_t frames = 0;
        for (size_t k = 0; k < states; ++k)
            frames += HTS_Engine_get_state_duration(e, s + k);
        m_phonemeSamples.append(int(frames * period));
    }
    // The pitch stream (the second) holds log F0, a huge negative number where unvoiced.
    const size_t frames = HTS_Engine_get_total_frame(e);
    for (size_t f = 0; f < frames; ++f) {
        const double lf0 = HTS_Engine_get_generated_parameter(e, 1, f, 0);
        m_framePitch.append(lf0 > -1e9 ? std::exp(lf0) : 0.0);
    }
    HTS_Engine_refresh(e);
    return out;
}

int accentLevel(const QString &label)
{
    // "/A:-1+2+2": the second of two morae, the accent on the third (none).
    const qsizetype a = label.indexOf(QLatin1String("/A:"));
    if (a < 0)
        return 0;
    const QString field = label.mid(a + 3).section(u'/', 0, 0);
    bool ok1 = false, ok2 = false;
    const int fromAccent = field.section(u'+', 0, 0).toInt(&ok1);
    const int at = field.section(u'+', 1, 1).toInt(&ok2);
    if (!ok1 || !ok2)
        return 0;
    const int accent = at - fromAccent; // the phrase's morae when it has no fall
    if (at == 1)
        return accent == 1 ? 1 : -1;
    return at <= accent ? 1 : -1;
}

std::vector<qint16> resample(const std::vector<qint16> &samples, int from, int to)
{
    if (from == to || from <= 0 || to <= 0 || samples.empty())
        return samples;
    // A Hann-windowed sinc of HalfWidth zero crossings either side, cut off a little below
    // the lower of the two rates' halves.
    constexpr int HalfWidth = 16;
    const double ratio = double(to) / from;
    const double cutoff = 0.92 * std::min(1.0, ratio); // of the input's half rate
    const double reach = HalfWidth / cutoff;           // input samples either side
    const size_t count = size_t(std::floor(double(samples.size()) * ratio));
    std::vector<qint16> out(count);
    for (size_t j = 0; j < count; ++j) {
        const double centre = double(j) / ratio;
        const long first = long(std::ceil(centre - reach));
        const long last = long(std::floor(centre + reach));
        double sum = 0;
        double weights = 0;
        for (long k = std::max(first, 0L); k <= last && k < long(samples.size()); ++k) {
            const double x = (double(k) - centre) * cutoff;
            const double sinc =
                x == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
            const double window =
                0.5 + 0.5 * std::cos(std::numbers::pi * (double(k) - centre) / reach);
            const double w = sinc * window;
            sum += w * samples[size_t(k)];
            weights += w;
        }
        const double v = weights != 0 ? sum / weights : 0;
        out[j] = qint16(std::clamp(std::lround(v), -32768L, 32767L));
    }
    return out;
}

} // namespace speech
