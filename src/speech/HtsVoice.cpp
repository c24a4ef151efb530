#include "speech/HtsVoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <HTS_engine.h>

#include <cmath>
#include <map>
#include <mutex>
#include <numbers>
#include <numeric>

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

namespace {

// Reads labels into the engine and chooses the states and their lengths.
bool generateStates(HTS_Engine *e, const QStringList &labels)
{
    std::vector<QByteArray> lines;
    std::vector<char *> pointers;
    lines.reserve(size_t(labels.size()));
    for (const QString &l : labels) {
        lines.push_back(l.toLatin1());
        pointers.push_back(lines.back().data());
    }
    return HTS_Engine_generate_state_sequence_from_strings(e, pointers.data(), pointers.size()) ==
           TRUE;
}

// The samples the engine made, as 16-bit values.
std::vector<qint16> generatedSpeech(HTS_Engine *e)
{
    std::vector<qint16> out(HTS_Engine_get_nsamples(e));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] =
            qint16(std::clamp(std::lround(HTS_Engine_get_generated_speech(e, i)), -32768L, 32767L));
    return out;
}

// The pitch the voice aimed at, a frame at a time: the pitch stream (the second) holds log
// F0, a huge negative number where unvoiced.
QList<double> generatedPitch(HTS_Engine *e)
{
    QList<double> pitch;
    const size_t frames = HTS_Engine_get_total_frame(e);
    for (size_t f = 0; f < frames; ++f) {
        const double lf0 = HTS_Engine_get_generated_parameter(e, 1, f, 0);
        pitch.append(lf0 > -1e9 ? std::exp(lf0) : 0.0);
    }
    return pitch;
}

} // namespace

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
    HTS_Engine_set_stop_flag(e, FALSE);
    HTS_Engine_set_speed(e, std::clamp(speed, 0.25, 4.0));
    if (!generateStates(e, labels)) {
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
    out = generatedSpeech(e);
    const size_t period = HTS_Engine_get_fperiod(e);
    const size_t total = HTS_Engine_get_total_state(e);
    for (size_t s = 0; states > 0 && s + states <= total; s += states) {
        size_t frames = 0;
        for (size_t k = 0; k < states; ++k)
            frames += HTS_Engine_get_state_duration(e, s + k);
        m_phonemeSamples.append(int(frames * period));
    }
    m_framePitch = generatedPitch(e);
    HTS_Engine_refresh(e);
    return out;
}

namespace {

QString phonemeOf(const QString &label)
{
    return label.section(u'-', 1).section(u'+', 0, 0);
}

// Where a label's accent phrase starts: its mora is the phrase's first ("/A:x+1+").
bool startsPhrase(const QString &label)
{
    const qsizetype a = label.indexOf(QLatin1String("/A:"));
    return a >= 0 && label.mid(a + 3).section(u'/', 0, 0).section(u'+', 1, 1) == u"1";
}

} // namespace

size_t HtsVoice::leadingSilence(const QStringList &labels, double speed)
{
    HTS_Engine *e = &m_engine->engine;
    if (!m_engine->loaded || labels.isEmpty())
        return 0;
    HTS_Engine_set_speed(e, std::clamp(speed, 0.25, 4.0));
    size_t frames = 0;
    if (generateStates(e, labels)) {
        for (size_t k = 0; k < HTS_Engine_get_nstate(e); ++k)
            frames += HTS_Engine_get_state_duration(e, k);
    }
    const size_t samples = frames * HTS_Engine_get_fperiod(e);
    HTS_Engine_refresh(e);
    return samples;
}

void HtsVoice::interrupt()
{
    // (The engine looks at its flag at every frame it makes.)
    if (m_engine->loaded)
        HTS_Engine_set_stop_flag(&m_engine->engine, TRUE);
}

bool HtsVoice::speak(const QStringList &labels, double speed, bool quickStart, const PartSink &sink)
{
    // Parts end after each pause: at a pause the voice is silent, so they join cleanly.
    QList<std::pair<qsizetype, qsizetype>> parts;
    qsizetype from = 0;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        if (phonemeOf(labels[i]) == u"pau" || i + 1 == labels.size()) {
            parts.append({from, i + 1});
            from = i + 1;
        }
    }
    // The phoneme both halves of a quickly started first part say, -1 for none.
    qsizetype overlap = -1;
    if (quickStart && !parts.isEmpty()) {
        const auto [begin, end] = parts.first();
        for (qsizetype i = begin + 2; i < end - 2; ++i) {
            if (startsPhrase(labels[i]) && phonemeOf(labels[i]) != u"pau" &&
                !startsPhrase(labels[i - 1])) {
                overlap = i - 1;
                parts.first() = {overlap, end};
                parts.prepend({begin, overlap + 1});
                break;
            }
        }
    }
    std::vector<qint16> held; // the first half's last phoneme, waiting to be blended
    for (qsizetype p = 0; p < parts.size(); ++p) {
        auto [begin, end] = parts[p];
        // A quick start's leading silence is silence: sent at once, the speech after it made
        // while it plays.
        if (p == 0 && quickStart && end - begin > 2 &&
            (phonemeOf(labels[begin]) == u"sil" || phonemeOf(labels[begin]) == u"pau")) {
            if (const size_t silence = leadingSilence(labels.mid(begin, end - begin), speed)) {
                if (!sink(std::vector<qint16>(silence, 0), {{begin, 0}}))
                    return false;
                ++begin;
            }
        }
        std::vector<qint16> audio = synthesize(labels.mid(begin, end - begin), speed);
        if (HTS_Engine_get_stop_flag(&m_engine->engine))
            return false; // interrupted: the rest is not wanted
        if (p == 0 && overlap >= 0) {
            const size_t tail =
                std::min(audio.size(), size_t(m_phonemeSamples.value(m_phonemeSamples.size() - 1)));
            held.assign(audio.end() - qsizetype(tail), audio.end());
            audio.resize(audio.size() - tail);
        } else if (p == 1 && !held.empty()) {
            const size_t n =
                std::min({held.size(), audio.size(), size_t(m_phonemeSamples.value(0))});
            for (size_t i = 0; i < n; ++i) {
                const double t = double(i) / double(n);
                audio[i] = qint16(std::lround(held[i] * (1 - t) + audio[i] * t));
            }
        }
        // Where each label's sound starts in this audio (the held phoneme's, in the next).
        QList<std::pair<qsizetype, qsizetype>> starts;
        qsizetype at = 0;
        for (qsizetype j = begin; j < end && j - begin < m_phonemeSamples.size(); ++j) {
            if (at < qsizetype(audio.size()))
                starts.append({j, at});
            at += m_phonemeSamples[j - begin];
        }
        if (!audio.empty() && !sink(audio, starts))
            return false;
    }
    return true;
}

std::vector<qint16> HtsVoice::recite(const QStringList &whispered, double seconds,
                                     double holdSeconds, double silenceAfter)
{
    // A reciter whispers no vowel: the held last one least of all.
    QStringList labels;
    for (const QString &l : whispered) {
        const qsizetype a = l.indexOf(QLatin1String("/A:"));
        QString phonemes = l.left(a);
        for (qsizetype i = 0; i < phonemes.size(); ++i) {
            const bool alone = (i == 0 || !phonemes[i - 1].isLetter()) &&
                               (i + 1 == phonemes.size() || !phonemes[i + 1].isLetter());
            if (alone && QStringView(u"AIUEO").contains(phonemes[i]))
                phonemes[i] = phonemes[i].toLower();
        }
        labels << phonemes + l.mid(a);
    }
    // Said once as the voice says it, for the length of each sound and the voice's pitch.
    const std::vector<qint16> natural = synthesize(labels, 1.0);
    if (natural.empty() || m_phonemeSamples.size() != labels.size())
        return natural;
    QList<double> voiced;
    for (double f : m_framePitch) {
        if (f > 0)
            voiced << f;
    }
    if (voiced.isEmpty())
        return natural;
    std::sort(voiced.begin(), voiced.end());
    const double base = std::log(voiced[voiced.size() / 2]);

    // A reciter draws out the vowels: consonants keep about their length, the vowels take
    // the rest of the time, and the last one is held; a pause between ku is a short breath,
    // however long the voice would make it.
    const double rate = sampleRate();
    const qsizetype last = labels.size() - 2; // the last sound before the closing silence
    const double breath = 0.12 * rate;
    constexpr double Edge = 0.05; // the silence the voice is given at either end, in seconds
    const auto isVowel = [](const QString &p) {
        return p.size() == 1 && QStringView(u"aiueoN").contains(p[0]);
    };
    double vowels = 0;
    double fixed = 0; // consonants and breaths
    for (qsizetype i = 1; i <= last; ++i) {
        const QString p = phonemeOf(labels[i]);
        if (p == u"pau")
            fixed += breath;
        else if (isVowel(p))
            vowels += m_phonemeSamples[i];
        else
            fixed += m_phonemeSamples[i];
    }
    const double target = seconds * rate;
    // Consonants are pressed along with everything when the time is short.
    const double squeeze = fixed + vowels > target && fixed > 0
                               ? std::max(0.25, std::min(1.0, target / (fixed + vowels)))
                               : 1.0;
    const double stretch =
        vowels > 0 ? std::max(target - fixed * squeeze, vowels * 0.25) / vowels : 1.0;
    QList<double> lengths; // in samples
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const QString p = phonemeOf(labels[i]);
        double n = (i == 0 || i > last) ? Edge * rate
                   : p == u"pau"        ? breath * squeeze
                   : isVowel(p)         ? m_phonemeSamples[i] * stretch
                                        : m_phonemeSamples[i] * squeeze;
        if (i == last)
            n += holdSeconds * rate;
        lengths << n;
    }
    // Times in the labels (100 ns units) make the voice keep these lengths.
    QStringList timed;
    QList<double> middles; // of each sound, in seconds from the start
    double at = 0;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const double end = at + lengths[i];
        timed << QStringLiteral("%1 %2 %3")
                     .arg(qint64(at / rate * 1e7))
                     .arg(qint64(end / rate * 1e7))
                     .arg(labels[i]);
        middles << (at + end) / 2 / rate;
        at = end;
    }
    HTS_Engine *e = &m_engine->engine;
    m_phonemeSamples.clear();
    m_framePitch.clear();
    HTS_Engine_set_speed(e, 1.0);
    HTS_Engine_set_phoneme_alignment_flag(e, TRUE);
    const bool aligned = generateStates(e, timed);
    HTS_Engine_set_phoneme_alignment_flag(e, FALSE);
    if (!aligned) {
        HTS_Engine_refresh(e);
        return natural;
    }
    // The pitch: four semitones below the voice's middle at the first sound, rising to a
    // semitone above it by RiseSeconds, then level, a semitone lower by the end.
    constexpr double RiseSeconds = 0.5;
    const double semitone = std::log(2.0) / 12;
    const double total = at / rate;
    const size_t states = HTS_Engine_get_nstate(e);
    const size_t stateCount = HTS_Engine_get_total_state(e);
    for (size_t st = 0; states > 0 && st < stateCount; ++st) {
        const qsizetype label = qsizetype(st / states);
        if (label == 0 || label > last)
            continue;
        const double t = middles.value(label);
        const double rise = std::min(1.0, t / RiseSeconds);
        const double fall = total > 0 ? t / total : 0;
        HTS_Engine_set_state_mean(e, 1, st, 0, base + semitone * (-4 + 5 * rise - fall));
        // No movement of the voice's own: the pitch follows the line above.
        HTS_Engine_set_state_mean(e, 1, st, 1, 0);
        HTS_Engine_set_state_mean(e, 1, st, 2, 0);
    }
    // The held sound keeps to its middle: the states after it take its spectrum and its
    // voicing, standing still.
    const size_t first = size_t(last) * states;
    const size_t middle = first + states / 2;
    for (size_t k = 0; states > 0 && first + states <= stateCount && k < e->sss.nstream; ++k) {
        HTS_SStream &stream = e->sss.sstream[k];
        for (size_t st = middle + 1; st < first + states; ++st) {
            for (size_t v = 0; v < stream.vector_length * stream.win_size; ++v)
                stream.mean[st][v] = v < stream.vector_length ? stream.mean[middle][v] : 0.0;
            if (stream.msd)
                stream.msd[st] = stream.msd[middle];
        }
    }
    // The pitch's global variance would bring back the movement taken out (and a weight of
    // 0 would flatten the line into its mean): it is not used for the pitch here. The
    // spectrum keeps its own, without which the voice buzzes.
    if (e->sss.sstream[1].gv_switch) {
        for (size_t st = 0; st < stateCount; ++st)
            e->sss.sstream[1].gv_switch[st] = FALSE;
    }
    std::vector<qint16> out;
    const bool made = HTS_Engine_generate_parameter_sequence(e) == TRUE &&
                      HTS_Engine_generate_sample_sequence(e) == TRUE;
    if (made) {
        out = generatedSpeech(e);
        for (double length : lengths)
            m_phonemeSamples.append(int(std::lround(length)));
        m_framePitch = generatedPitch(e);
        out.resize(out.size() + size_t(std::max(0.0, silenceAfter - 2 * Edge) * rate), 0);
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

// The filter of a resampling from one rate to another, one set of weights for each of the
// output's positions between two input samples: with rates that share a large factor
// (48 000 to 22 050: 320 to 147) they repeat after a few hundred outputs.
struct Polyphase
{
    int step = 0;                // input samples per `phases` outputs
    int phases = 0;              // outputs before the positions repeat
    int reach = 0;               // taps either side of the nearest input sample
    std::vector<double> weights; // phases x (2 * reach + 1), each set summing to 1

    Polyphase(int from, int to)
    {
        const int g = std::gcd(from, to);
        step = from / g;
        phases = to / g;
        // A Hann-windowed sinc of HalfWidth zero crossings either side, cut off a little
        // below the lower of the two rates' halves.
        constexpr int HalfWidth = 16;
        const double cutoff = 0.92 * std::min(1.0, double(to) / from); // of the input's half
        const double span = HalfWidth / cutoff;                        // input samples either side
        reach = int(std::ceil(span));
        const int taps = 2 * reach + 1;
        weights.resize(size_t(phases) * size_t(taps));
        for (int p = 0; p < phases; ++p) {
            const double offset = double(p) / phases; // of the position past its sample
            double sum = 0;
            for (int m = -reach; m <= reach; ++m) {
                const double d = m - offset;
                double w = 0;
                if (std::abs(d) < span) {
                    const double x = d * cutoff;
                    const double sinc =
                        x == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
                    w = sinc * (0.5 + 0.5 * std::cos(std::numbers::pi * d / span));
                }
                weights[size_t(p) * size_t(taps) + size_t(m + reach)] = w;
                sum += w;
            }
            for (int m = 0; m < taps; ++m)
                weights[size_t(p) * size_t(taps) + size_t(m)] /= sum;
        }
    }
};

Resampler::Resampler(int from, int to) : m_from(from), m_to(to)
{
    if (from <= 0 || to <= 0 || from == to || to / std::gcd(from, to) > 4096)
        return; // the same rate, or rates with no useful common factor: passed through
    // Made once for each pair of rates (a program uses one or two).
    static std::mutex mutex;
    static std::map<std::pair<int, int>, std::unique_ptr<Polyphase>> filters;
    std::lock_guard lock(mutex);
    std::unique_ptr<Polyphase> &slot = filters[{from, to}];
    if (!slot)
        slot = std::make_unique<Polyphase>(from, to);
    m_filter = slot.get();
}

std::vector<qint16> Resampler::push(const qint16 *samples, size_t count)
{
    if (!m_filter)
        return std::vector<qint16>(samples, samples + count);
    m_input.insert(m_input.end(), samples, samples + count);
    m_received += qint64(count);
    return take(false);
}

std::vector<qint16> Resampler::finish()
{
    if (!m_filter)
        return {};
    return take(true);
}

std::vector<qint16> Resampler::take(bool last)
{
    const Polyphase &f = *m_filter;
    const size_t taps = size_t(2 * f.reach + 1);
    // All of the output the input makes, at the end; else what its taps have arrived for.
    const qint64 all = m_received * m_to / m_from;
    std::vector<qint16> out;
    const qint64 bufferStart = m_received - qint64(m_input.size());
    for (;; ++m_made) {
        const qint64 base = (m_made / f.phases) * f.step;
        const qint64 within = (m_made % f.phases) * f.step;
        const qint64 centre = base + within / f.phases;
        if (last ? m_made >= all : centre + f.reach >= m_received)
            break;
        const double *w = f.weights.data() + size_t(within % f.phases) * taps;
        double sum = 0;
        for (size_t m = 0; m < taps; ++m) {
            // Before the first sample and after the last there is silence.
            const qint64 k = centre - f.reach + qint64(m) - bufferStart;
            if (k >= 0 && k < qint64(m_input.size()))
                sum += w[m] * m_input[size_t(k)];
        }
        out.push_back(qint16(std::clamp(std::lround(sum), -32768L, 32767L)));
    }
    // Keeps only what the next outputs' taps still reach.
    const qint64 keepFrom =
        (m_made / f.phases) * f.step + ((m_made % f.phases) * f.step) / f.phases - f.reach;
    const qint64 drop = std::clamp<qint64>(keepFrom - bufferStart, 0, qint64(m_input.size()));
    m_input.erase(m_input.begin(), m_input.begin() + drop);
    return out;
}

std::vector<qint16> resample(const std::vector<qint16> &samples, int from, int to)
{
    Resampler r(from, to);
    std::vector<qint16> out = r.push(samples.data(), samples.size());
    const std::vector<qint16> rest = r.finish();
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

} // namespace speech
