#include "speech/SpeakToWav.h"

#include "speech/EspeakEngine.h"
#include "speech/SpeakerSelection.h"
#include "text/SafeFile.h"


namespace speech {

namespace {

void putLe(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char(value >> (8 * i) & 0xFF));
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

QByteArray wavBytes(const QByteArray &pcm, int sampleRate)
{
    QByteArray out;
    out.reserve(44 + pcm.size());
    out.append("RIFF");
    putLe(out, quint32(36 + pcm.size()), 4);
    out.append("WAVEfmt ");
    putLe(out, 16, 4); // format chunk size
    putLe(out, 1, 2);  // PCM
    putLe(out, 1, 2);  // mono
    putLe(out, quint32(sampleRate), 4);
    putLe(out, quint32(sampleRate * 2), 4); // bytes per second
    putLe(out, 2, 2);                       // bytes per frame
    putLe(out, 16, 2);                      // bits per sample
    out.append("data");
    putLe(out, quint32(pcm.size()), 4);
    out.append(pcm);
    return out;
}

bool speakToWav(const QString &text, int speakerId, const QString &wavPath, QString *error,
                int speed)
{
    if (speakerId < 1 || speakerId > SpeakerCount)
        return fail(error, QStringLiteral("unknown speaker %1").arg(speakerId));
    const QString name = QString::fromLatin1(speakerTable()[speakerId - 1].name);
    EspeakEngine &engine = EspeakEngine::instance();
    int voice = -1;
    for (int v : engine.availableVoices()) {
        if (name == QLatin1String(voiceModeTable()[v].speakerName))
            voice = v;
    }
    if (voice < 0)
        return fail(error,
                    QStringLiteral("the voice of %1 is not installed (espeak-ng-data)").arg(name));

    QByteArray pcm;
    const EspeakEngine::ChunkSink sink = [&pcm](const QByteArray &chunk) {
        pcm.append(chunk);
        return true;
    };
    for (const QString &piece : splitIntoPieces(text))
        engine.synthesize(piece, voice, speed, sink);
    if (pcm.isEmpty())
        return fail(error, QStringLiteral("the text gives no audio"));

    text::FileError problem;
    if (!text::writeFileSafely(wavPath, wavBytes(pcm, engine.sampleRate()), &problem))
        return fail(error, problem.message);
    return true;
}

} // namespace speech
