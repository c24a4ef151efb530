#include "reading/Spellings.h"

#include "reading/Counters.h"
#include "reading/KanjiDictionary.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace reading {

namespace {

// Whether `kana` may start the okurigana: its first kana, or for a verb of the five rows
// another of its row (行なわない, 行なって), for an adjective its other endings (短かく).
bool startsOkurigana(QStringView okurigana, QChar kana)
{
    if (okurigana.size() > 1 || okurigana == u"る")
        return okurigana.startsWith(kana);
    if (okurigana == u"い")
        return QStringView(u"いくけかさ").contains(kana);
    static const QStringView rows[] = {u"わいうえおっ", u"かきくけこい", u"がぎぐげごい",
                                       u"さしすせそ",   u"たちつてとっ", u"なにぬねのん",
                                       u"ばびぶべぼん", u"まみむめもん", u"らりるれろっ"};
    return std::any_of(std::begin(rows), std::end(rows), [&](QStringView row) {
        return row.contains(okurigana[0]) && row.contains(kana);
    });
}

// The text with a kana put after each character `added` gives one for; nothing where it
// gives none anywhere.
std::optional<Modernised> withKanaAdded(QStringView text,
                                        const std::function<QChar(qsizetype)> &added)
{
    Modernised out;
    for (qsizetype k = 0; k < text.size(); ++k) {
        out.text += text[k];
        out.origin.append(k);
        if (const QChar kana = added(k); !kana.isNull()) {
            out.text += kana;
            out.origin.append(k);
        }
    }
    if (out.text.size() == text.size())
        return std::nullopt;
    return out;
}

} // namespace

QList<Modernised> todaysSpellings(QStringView mecabText, LineStyle kind)
{
    const qsizetype n = mecabText.size();
    QList<Modernised> variants;
    const bool oldPrint = kind.historical || kind.poetic;
    if (oldPrint)
        variants << modernFromHistorical(mecabText) << modernFromHistorical(mecabText, false);
    if (oldPrint && !kind.recited)
        variants << modernFromHistorical(mecabText, true, false);
    if (oldPrint)
        variants << modernFromHistorical(mecabText, true, false, true);
    // And with every む as written, where it may be a verb's own (あはれむ あわれむ).
    if (oldPrint) {
        Modernised ownMu = modernFromHistorical(mecabText, true, false);
        bool changed = false;
        for (qsizetype k = 0; k < ownMu.text.size(); ++k) {
            if (ownMu.text[k] == u'ん' && mecabText[ownMu.origin[k]] == u'む') {
                ownMu.text[k] = u'む';
                changed = true;
            }
        }
        if (changed)
            variants << ownMu;
    }
    if (kind.poetic) {
        const KanjiDictionary &kanji = KanjiDictionary::instance();
        // Whether a kana after kanji `c` may be the okurigana of its verb of five rows (with
        // `plainOnly`, of a kun reading in the verb's plain form, not 落ち's).
        auto endsFiveRow = [&](char32_t c, QChar next, bool plainOnly) {
            const QStringList kun = kanji.readings(c).kun;
            return std::any_of(kun.cbegin(), kun.cend(), [&](const QString &k) {
                return k.contains(u'.') && k.size() >= 3 &&
                       (!plainOnly || QStringView(u"うくぐすつぬぶむ").contains(k.back())) &&
                       startsOkurigana(QStringView(k).last(1), next);
            });
        };
        auto add = [&](const std::function<QChar(qsizetype)> &added) {
            if (std::optional<Modernised> variant = withKanaAdded(mecabText, added))
                variants << *variant;
        };
        // Old prints leave out the kana a verb's te-form sounds after its kanji: 咲て
        // さいて, 散て ちって, 飛で とんで; a verb of one row's, 落て おちて.
        for (const QChar sound : {QChar(u'い'), QChar(u'っ'), QChar(u'ん'), QChar()}) {
            add([&](qsizetype k) {
                const QChar next = k + 1 < n ? mecabText[k + 1] : QChar();
                const bool voicedNext = next == u'で' || next == u'だ';
                // (た after a kanji that follows another is more often a stem's own:
                // 君待たなむ.)
                const bool runStart = k == 0 || !isKanji(mecabText[k - 1].unicode());
                if (!isKanji(mecabText[k].unicode()))
                    return QChar();
                // (Not where the kana is that verb's own, 持てあます, nor its verb of five
                // rows', 持たば.)
                if (sound.isNull()) {
                    const QChar ending =
                        runStart && (next == u'て' || next == u'た') &&
                                !endsFiveRow(mecabText[k].unicode(), next, true)
                            ? kanji.omittedOkurigana(mecabText[k].unicode(),
                                                     KanjiDictionary::Okurigana::OneRow)
                            : QChar();
                    return ending == next ? QChar() : ending;
                }
                return (sound == u'ん' ? voicedNext && runStart
                                       : next == u'て' || (next == u'た' && runStart))
                           ? sound
                           : QChar();
            });
        }
        // And the okurigana of a verb's that old prints leave out: its continuative
        // form's before the verb that follows it (飛こむ とびこむ) or the perfective's にけり
        // (焼にけり やけにけり), its plain form's before a noun (泣子 なくこ). Each once for
        // the kanji's verb of five rows and once for its verb of one (落かゝる おちかかる):
        // MeCab tells which the text is.
        for (const bool oneRow : {false, true}) {
            add([&](qsizetype k) {
                const char32_t c = mecabText[k].unicode();
                const QChar next = k + 1 < n ? mecabText[k + 1] : QChar();
                const bool beforePerfective = next == u'に' && mecabText.mid(k + 2, 1) == u"け";
                // (す and せ after a kanji that has no verb in them are する's: 因する.)
                const bool beforeVerb =
                    beforePerfective ||
                    (isHiragana(next.unicode()) && !isParticleLike(next) && next != u'す' &&
                     next != u'せ' && kanji.stemBefore(c, next).isEmpty() &&
                     kanji.stemOfOldPrint(c, next).isEmpty());
                // (A noun of one kanji, a particle written in kanji after it: 泣子哉;
                // 凌雲閣 is a name, no verb.)
                const bool beforeNoun = isKanji(next.unicode()) &&
                                        (k + 2 >= n || !isKanji(mecabText[k + 2].unicode()) ||
                                         QStringView(u"哉也").contains(mecabText[k + 2]));
                // (And the な that forbids: 打な うつな.)
                const bool beforeNa =
                    next == u'な' && (k + 2 >= n || !isHiragana(mecabText[k + 2].unicode()));
                // (And a verb ending the line after a particle or a verb's continuative: 閨に
                // 踏 ねやにふむ, あゆみ行 あゆみゆく.)
                const bool endsLine =
                    (next.isNull() || next.isSpace()) && k > 0 &&
                    (QStringView(u"にをがとへもは").contains(mecabText[k - 1]) ||
                     (k > 1 && QStringView(u"いきしちみりびぎ").contains(mecabText[k - 1]) &&
                      !isKanji(mecabText[k - 2].unicode())));
                // (And the first of two verbs in kanji, the second's okurigana written:
                // 立止まりて たちどまりて.)
                const bool beforeKanjiVerb =
                    isKanji(next.unicode()) && k + 2 < n &&
                    isHiragana(mecabText[k + 2].unicode()) &&
                    (k == 0 || !isKanji(mecabText[k - 1].unicode())) &&
                    !kanji.stemBefore(next.unicode(), mecabText[k + 2]).isEmpty();
                // (A numeral's ひと.つ is no verb.)
                if (!isKanji(c) || isNumeral(mecabText[k]) ||
                    !(beforeVerb || beforeNoun || beforeNa || endsLine || beforeKanjiVerb))
                    return QChar();
                // (Not where the kanji is first a word of its own: 験なき しるしなき; ダース for
                // 打 is none, nor is 散's later ばら: 散柳 ちるやなぎ.)
                if (kanji.firstKunIsWord(c))
                    return QChar();
                using Okurigana = KanjiDictionary::Okurigana;
                // (Not before a kana that ends an adjective too or a particle, 深し, 立かな
                // but 落かゝる; nor before one a verb of five rows ends in, 落せ おとせ.)
                if (oneRow) {
                    return beforeVerb && !endsFiveRow(c, next, false) &&
                                   (beforePerfective ||
                                    !(QStringView(u"しがご").contains(next) ||
                                      (next == u'か' && mecabText.mid(k + 2, 1) == u"な")))
                               ? kanji.omittedOkurigana(c, Okurigana::OneRow)
                               : QChar();
                }
                // (Before べし its plain form: 名成べし ななるべし; before the ん, む and ず of
                // will and not, its irrealis: 吐んとす はかんとす, 物書ず かかず.)
                // (Not the む that starts a word: 引むけよ ひきむけよ.)
                const QChar afterNext = k + 2 < n ? mecabText[k + 2] : QChar();
                const bool irrealis =
                    next == u'ず' || ((next == u'ん' || next == u'む') &&
                                      (!isHiragana(afterNext.unicode()) ||
                                       QStringView(u"とやかもぞはにをのべ").contains(afterNext)));
                QChar ending = kanji.omittedOkurigana(
                    c, irrealis                                           ? Okurigana::Irrealis
                       : (beforeVerb && next != u'べ') || beforeKanjiVerb ? Okurigana::Continuative
                                                                          : Okurigana::Plain);
                if (ending.isNull() && QStringView(u"きくけか").contains(next))
                    ending = kanji.omittedOkurigana(c, Okurigana::Adjective);
                // (A verb of one row before a noun, its stem: 痩馬 やせうま, 枯木 かれき.)
                if (ending.isNull() && beforeNoun)
                    ending = kanji.omittedOkurigana(c, Okurigana::OneRow);
                return ending;
            });
        }
    } else if (!kind.historical) {
        Modernised same;
        same.text = mecabText.toString();
        for (qsizetype k = 0; k < n; ++k)
            same.origin.append(k);
        variants << same;
    }
    // Old prints write the end of a stem in kana too, before its okurigana: 珍らしい
    // めずらしい, 短かい, 考がえる, 行なう. (Not a particle or the copula: 下だろう.)
    Modernised stem;
    const KanjiDictionary &dictionary = KanjiDictionary::instance();
    for (qsizetype k = 0; k < n; ++k) {
        stem.text += mecabText[k];
        stem.origin.append(k);
        if (!isKanji(mecabText[k].unicode()) || k + 2 >= n ||
            QStringView(u"だでにのをはもとへやよ").contains(mecabText[k + 1]))
            continue;
        for (const QString &kun : dictionary.readings(mecabText[k].unicode()).kun) {
            const qsizetype dot = kun.indexOf(u'.');
            const QStringView okurigana = QStringView(kun).sliced(dot + 1);
            if (dot < 2 || kun.startsWith(u'-') || kun.endsWith(u'-') ||
                kun[dot - 1] != mecabText[k + 1] || !startsOkurigana(okurigana, mecabText[k + 2]))
                continue;
            ++k; // the kana the stem ends in, left out
            break;
        }
    }
    if (stem.text.size() < n)
        variants << stem;
    // And leave out the first kana of a long okurigana: 恥かしい はずかしい.
    if (std::optional<Modernised> shorter = withKanaAdded(mecabText, [&](qsizetype k) {
            if (!isKanji(mecabText[k].unicode()))
                return QChar();
            for (const QString &kun : dictionary.readings(mecabText[k].unicode()).kun) {
                const QStringView okurigana = QStringView(kun).sliced(kun.indexOf(u'.') + 1);
                if (kun.contains(u'.') && okurigana.size() >= 3 &&
                    mecabText.sliced(k + 1).startsWith(okurigana.sliced(1, okurigana.size() - 2)))
                    return okurigana[0];
                // (And in prose of a verb in -aる that ends a compound, before its ending, its
                // っ written large or not: ぶら下って ぶらさがって, 飛び上つて とびあがって;
                // 川を下つて stays くだって.)
                if (!kind.poetic && kun.contains(u'.') && okurigana.size() == 2 &&
                    okurigana[1] == u'る' &&
                    QStringView(u"かがさざただなはばまわ").contains(okurigana[0]) && k > 0 &&
                    isHiragana(mecabText[k - 1].unicode()) && !isParticleLike(mecabText[k - 1]) &&
                    k + 1 < mecabText.size() &&
                    (QStringView(u"らりるれろっ").contains(mecabText[k + 1]) ||
                     (mecabText[k + 1] == u'つ' && k + 2 < mecabText.size() &&
                      (mecabText[k + 2] == u'て' || mecabText[k + 2] == u'た'))))
                    return okurigana[0];
            }
            return QChar();
        }))
        variants << *shorter;
    for (Modernised &variant : variants) {
        // Old prints write a large つ for today's small っ (待つて, くねつて, ぢつと), large
        // や ゆ よ after an i-row kana for small ones (ちよつと ちょっと), and ぢ づ where
        // today's spelling has じ ず (ぢつと じっと).
        for (qsizetype k = 0; k < variant.text.size(); ++k) {
            const QChar c = variant.text[k];
            if (kind.historical && (c == u'ぢ' || c == u'づ') && k + 1 < variant.text.size() &&
                (k == 0 || !isKana(variant.text[k - 1].unicode())))
                variant.text[k] = c == u'ぢ' ? u'じ' : u'ず';
            // (Not after a particle: はるにや is に and や; but no particle starts a line or
            // follows a blank.)
            const bool afterParticle =
                k >= 2 && isParticleLike(variant.text[k - 1]) &&
                (isKana(variant.text[k - 2].unicode()) || isKanji(variant.text[k - 2].unicode()));
            if (const QChar s = k > 0 ? smallAfterIRow(variant.text[k - 1], c) : QChar();
                kind.historical && !kind.recited && !s.isNull() && !afterParticle)
                variant.text[k] = s;
            if (c != u'つ' || k == 0 || k + 1 >= variant.text.size())
                continue;
            const QChar before = variant.text[k - 1];
            const QChar next = variant.text[k + 1];
            // (と before つて is 取って or にとって, hardly the particle and 伝手.)
            // (Nor a つ after つ: うつつとも, 見つつ; nor かつて, once, but なかつた.)
            const bool afterStem = isKanji(before.unicode()) ||
                                   (oldPrint && isKana(before.unicode()) &&
                                    (before != u'か' || next == u'た') && before != u'つ' &&
                                    (!isParticleLike(before) ||
                                     (before == u'と' && (next == u'て' || next == u'た'))));
            // (Before a half-voiced kana a large つ is always one: やつぱり.)
            // (After a kanji before a k-sound too: 突つかけ つっかけ, 引つくり返す; not before
            // the particles から, かな, かも, かし, かや: 待つから.)
            if ((afterStem && (next == u'て' || next == u'た' ||
                               (oldPrint && !isKanji(before.unicode()) &&
                                QStringView(u"とすさしそ").contains(next)) ||
                               (kind.historical && isKanji(before.unicode()) &&
                                QStringView(u"かきくけこ").contains(next) &&
                                !(next == u'か' && k + 2 < variant.text.size() &&
                                  QStringView(u"らなもしや").contains(variant.text[k + 2]))))) ||
                (oldPrint && QStringView(u"ぱぴぷぺぽ").contains(next)))
                variant.text[k] = u'っ';
        }
    }
    return variants;
}

} // namespace reading
