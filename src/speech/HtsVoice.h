#pragma once

// An HTS voice (a .htsvoice file) speaking full-context labels through libHTSEngine. The
// Japanese speakers use one each: Naoko the "Mei" voice, Kenji "NIT ATR503 M001", both
// trained on Japanese speech at 48 kHz by the Nagoya Institute of Technology (CC BY 3.0).

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace speech {

// The folder the voices are looked for in: $KOTONAMI_VOICE_DIR when set, else "voices"
// beside the program's collections (../share/kotonami/voices), else the one
// scripts/setup.sh fills in the source tree.
QString voiceFolder();
// The voice file of a Japanese speaker (female: Naoko), whether or not it is there.
QString voiceFile(bool female);

class HtsVoice
{
public:
    explicit HtsVoice(const QString &file);
    ~HtsVoice();
    HtsVoice(const HtsVoice &) = delete;
    HtsVoice &operator=(const HtsVoice &) = delete;

    bool isLoaded() const;
    QString file() const { return m_file; }
    int sampleRate() const;

    // Semitones by which the high morae of each accent phrase are raised and the low ones
    // lowered beyond what the voice does itself: Mei keeps her pitch too level for the
    // accent to be heard (箸を and 橋を alike), M001 needs none.
    void setAccentEmphasis(double semitones) { m_emphasis = semitones; }
    double accentEmphasis() const { return m_emphasis; }

    // Says an utterance at `speed` (1 the voice's own pace, 2 twice as fast): 16-bit mono
    // samples at sampleRate(). Empty when the labels give nothing.
    std::vector<qint16> synthesize(const QStringList &labels, double speed);
    // Says the labels of a line a part at a time, each part ending after a pause, so that
    // the first is heard while the rest is made; with `quickStart` a leading silence is
    // sent first, as silence, the first part ends after its first accent phrase, and the
    // next, made from that phrase's last phoneme on, is blended in over that phoneme. `sink` gets
    // the audio in order at sampleRate(), with where each label's sound starts in it (label,
    // sample); returning false stops the rest.
    using PartSink = std::function<bool(const std::vector<qint16> &audio,
                                        const QList<std::pair<qsizetype, qsizetype>> &starts)>;
    bool speak(const QStringList &labels, double speed, bool quickStart, const PartSink &sink);
    // Cuts short the audio being made, from any thread: what is made from then on is
    // silence, and the next synthesis is whole again. (Speech stopped while a long part is
    // made need not wait for it.)
    void interrupt();

private:
    // How long the first label of `labels` lasts, in samples, as the voice would say them.
    size_t leadingSilence(const QStringList &labels, double speed);

public:
    // Recites an utterance as a karuta reader does: its vowels drawn out for it to last
    // `seconds`, its last sound held `holdSeconds` more, the pitch rising over the first
    // sounds and then level, falling only a little to the end; then `silenceAfter`
    // seconds of silence (counting the little the voice leaves at either end).
    std::vector<qint16> recite(const QStringList &labels, double seconds, double holdSeconds,
                               double silenceAfter = 0);

    // How long each label's phoneme lasted in the last synthesis, in samples.
    const QList<int> &phonemeSamples() const { return m_phonemeSamples; }
    // The pitch the voice aimed at in each frame of the last synthesis, in Hz (0 where it
    // was voiceless), and the samples a frame lasts.
    const QList<double> &framePitch() const { return m_framePitch; }
    int frameSamples() const;

private:
    struct Engine;
    std::unique_ptr<Engine> m_engine;
    QString m_file;
    QList<int> m_phonemeSamples;
    QList<double> m_framePitch;
    double m_emphasis = 0;
};

// Whether the phoneme of a label is said high (1) or low (-1) in Tokyo speech, from its
// mora's place in its accent phrase and the phrase's accent; 0 for silence and pauses.
// The first mora is low unless the accent falls right after it, the rest high up to the
// accent's mora and low after it.
int accentLevel(const QString &label);

struct Polyphase;

// 16-bit samples at rate `from` brought to rate `to` as they come (a windowed-sinc filter,
// so that nothing above the new rate's half folds back into what is heard): audio made in
// parts joins as if it had been made at once.
class Resampler
{
public:
    Resampler(int from, int to);
    // The output the samples so far make, less the last few that wait for what follows.
    std::vector<qint16> push(const qint16 *samples, size_t count);
    // The rest, as if silence followed.
    std::vector<qint16> finish();

private:
    std::vector<qint16> take(bool last);
    int m_from;
    int m_to;
    const Polyphase *m_filter = nullptr;
    std::vector<qint16> m_input; // the input the next outputs reach back to
    qint64 m_received = 0;       // input samples pushed
    qint64 m_made = 0;           // output samples made
};

std::vector<qint16> resample(const std::vector<qint16> &samples, int from, int to);

// A Japanese speaker's voice as the speakers use it (voiceFile(female)), with the accent
// emphasis it needs for 18 of 20 test words to be heard with the right accent: Mei 4
// semitones, M001 1. Not loaded when the file is missing.
std::unique_ptr<HtsVoice> japaneseVoice(bool female);

} // namespace speech
