#pragma once

// espeak-ng as one process-wide synthesiser. espeak-ng keeps a single global state, so
// every synthesis in the process (the reading backend's worker thread, kotonami-tool's
// speak command) goes through this object, one at a time.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace reading {
class ReadingEngine;
}

namespace speech {

class HtsVoice;
class SpokenJapanese;

// One of the six voice modes the program knows, in mode order.
struct VoiceModeInfo
{
    const char *modeName;    // "Female Japanese"
    const char *speakerName; // "Naoko"
    const char *voice;       // espeak-ng voice and variant, "ja+f3"
    bool japanese;           // read through MeCab first
};

const QList<VoiceModeInfo> &voiceModeTable();

// A long text is synthesised a piece at a time so that the first piece can play while the
// rest is still being made: one line, or one sentence of a line (ending in 。！？.!?), and a
// sentence longer than MaxPieceLength is cut after its last 、，, or blank before that
// length. Joining the pieces gives the text back unchanged.
QStringList splitIntoPieces(QStringView text);
inline constexpr qsizetype MaxPieceLength = 120;

// What espeak-ng's Japanese voice is given for a line's kana: SSML that has the Latin
// words read by the English voice of the same variant, a pause between ku or at a comma
// (", " in the kana) made a break, and a run of ー said as one (espeak-ng would name the
// letter); empty when plain text does (no Latin word, no pause).
QString japaneseSsml(const QString &kana, const QString &japaneseVoice);

class EspeakEngine
{
public:
    static EspeakEngine &instance();

    // Indexes into voiceModeTable() of the voices that espeak-ng could load; empty when
    // espeak-ng or its data (espeak-ng-data) is missing.
    QList<int> availableVoices() const { return m_available; }
    int sampleRate() const { return m_sampleRate; }

    // Receives 16-bit mono samples at sampleRate() as they are made; returning false stops
    // the synthesis.
    using ChunkSink = std::function<bool(const QByteArray &pcm)>;

    // Speaks one piece of text in voice voiceIndex at rate words per minute. The text is
    // plain text: "<" and "&" are read as they are, never taken as markup. Returns false
    // when the voice cannot be used or the chunk sink stopped it. `quickStart` asks for
    // the first audio as soon as can be, for the first piece of a text: an HTS voice then
    // makes its first accent phrase on its own.
    // `word`, when given, is told where each word said stands in `text` ([begin, end)),
    // just before the audio that starts it (HTS voices only).
    using WordSink = std::function<void(qsizetype begin, qsizetype end)>;
    bool synthesize(QStringView text, int voiceIndex, int rate, const ChunkSink &sink,
                    bool quickStart = false, const WordSink &word = {});

    // Recites a text a line at a time as karuta readers read (Recitation.h) in voice
    // voiceIndex; `opening` reads the first poem as the 序歌. False, with nothing made, when
    // the voice cannot recite (an English voice, or a Japanese one without its HTS voice).
    bool recite(QStringView text, int voiceIndex, int rate, const ChunkSink &sink,
                bool opening = false);

    // The kana text espeak-ng is given for a piece in a Japanese voice.
    QString japaneseReading(QStringView text);
    // What a voice is given for a text: kana for the Japanese voices, romaji of Japanese
    // text for the English ones.
    QString spokenText(QStringView text, bool japaneseVoice) const;
    // The same for voice voiceIndex, taken in turn with the syntheses (for the speech log).
    QString voiceInput(QStringView text, int voiceIndex);
    // Reads the poet's dictionary (readings.tsv) again after it was edited.
    void reloadUserDictionary();

    // Whether voice voiceIndex speaks through its HTS voice (Naoko and Kenji, when their
    // voice files are installed) rather than espeak-ng.
    bool speaksWithHtsVoice(int voiceIndex);
    // Cuts short the HTS voices' audio being made, from any thread (speech was stopped).
    void interruptHtsVoices();
    // For a Japanese voice whose HTS voice is missing, the speaker's name ("Naoko"); else
    // empty.
    QString speakerWithoutHtsVoice(int voiceIndex);
    // Off: the Japanese speakers speak through espeak-ng even with their HTS voices
    // installed (the poet's choice in the Speaker menu). On by default.
    void setHtsVoicesEnabled(bool on);

    EspeakEngine(const EspeakEngine &) = delete;
    EspeakEngine &operator=(const EspeakEngine &) = delete;

private:
    EspeakEngine();
    ~EspeakEngine();
    bool loadVoice(int voiceIndex);
    // The HTS voice of a Japanese voice mode, loaded on first use; null when it is missing.
    HtsVoice *htsVoice(int voiceIndex);
    void makeSpokenJapanese();
    bool synthesizeHts(HtsVoice &voice, QStringView text, int rate, bool quickStart,
                       const ChunkSink &sink, const WordSink &word);

    std::mutex m_mutex;
    QList<int> m_available;
    int m_sampleRate = 22050;
    int m_loadedVoice = -1;
    reading::ReadingEngine *m_reading = nullptr;
    std::unique_ptr<SpokenJapanese> m_spoken;
    // Naoko's and Kenji's HTS voices; tried once each.
    std::unique_ptr<HtsVoice> m_hts[2];
    // The same, for other threads to reach without the lock.
    std::atomic<HtsVoice *> m_htsLoaded[2] = {nullptr, nullptr};
    bool m_htsTried[2] = {false, false};
    bool m_htsEnabled = true;
};

} // namespace speech
