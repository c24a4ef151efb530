#pragma once

// Renders a text with one of the six speakers to a WAV file (16-bit mono PCM at the
// synthesiser's rate) through the same engine that reads aloud: kotonami-tool's speak
// command.

#include <QByteArray>
#include <QString>

namespace speech {

// speakerId is 1 to 6 (Naoko, Kenji, Mary, Mike, Carol, Peter; see speakerNumber()),
// speed the rate in words per minute as the speed slider gives it. Returns false with a
// message in *error (if given) when the speaker's voice is not installed, the text gives
// no audio, or the file cannot be written; nothing is left at wavPath then.
bool speakToWav(const QString &text, int speakerId, const QString &wavPath, QString *error,
                int speed = 150);

// The WAV file bytes for 16-bit mono samples.
QByteArray wavBytes(const QByteArray &pcm, int sampleRate);

} // namespace speech
