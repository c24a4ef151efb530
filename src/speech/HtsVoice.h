#pragma once

// An HTS voice (a .htsvoice file) speaking full-context labels through libHTSEngine. The
// Japanese speakers use one each: Naoko the "Mei" voice, Kenji "NIT ATR503 M001", both
// trained on Japanese speech at 48 kHz by the Nagoya Institute of Technology (CC BY 3.0).

#include <QList>
#include <QString>
#include <QStringList>

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

// 16-bit samples at rate `from` brought to rate `to` (a windowed-sinc filter, so that
// nothing above the new rate's half folds back into what is heard).
std::vector<qint16> resample(const std::vector<qint16> &samples, int from, int to);

// A Japanese speaker's voice as the speakers use it (voiceFile(female)), with the accent
// emphasis it needs for 18 of 20 test words to be heard with the right accent: Mei 4
// semitones, M001 1. Not loaded when the file is missing.
std::unique_ptr<HtsVoice> japaneseVoice(bool female);

} // namespace speech
