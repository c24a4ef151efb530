#include "reading/KanaRules.h"
#include "reading/MecabReader.h"
#include "reading/Mora.h"
#include "reading/ReadingEngine.h"
#include "text/DocumentFile.h"

#include <QFile>

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace reading;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

TEST(Mora, SmallKanaJoinTheKanaBeforeSokuonLongVowelAndNCountOne)
{
    const struct
    {
        const char16_t *kana;
        int morae;
    } cases[] = {
        {u"きゃく", 2},       {u"ちょっと", 3}, {u"コーヒー", 4},
        {u"しんぶん", 4},     {u"くゎし", 2},   {u"ファイル", 3},
        {u"ヴァイオリン", 5}, {u"ゃあ", 2}, // a small kana with nothing before it stands alone
        {u"か、な 山x", 2},                 // marks, blanks, kanji and Latin count nothing
        {u"ヶ月", 1},         {u"ゔぁ", 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(moraCount(QString::fromUtf16(c.kana)), c.morae)
            << qPrintable(QString::fromUtf16(c.kana));
}

// A line given as words "3 2 |4 ~1": morae, a bar for a blank before the word, a tilde for a
// word that joins the one before (a particle).
QList<MeteredWord> wordsOf(const char *line)
{
    QList<MeteredWord> words;
    for (const QString &w : QString::fromLatin1(line).split(u' ', Qt::SkipEmptyParts)) {
        MeteredWord m;
        QString n = w;
        m.blankBefore = n.startsWith(u'|');
        if (m.blankBefore)
            n.remove(0, 1);
        m.mayStartKu = !n.startsWith(u'~');
        if (!m.mayStartKu)
            n.remove(0, 1);
        m.morae = n.toInt();
        words.append(m);
    }
    return words;
}

TEST(Mora, LinesAreMeasuredAgainstHaikuAndTanka)
{
    const struct
    {
        const char *words;
        const char16_t *ku;
        const char *deviations; // per ku: + too long, - too short, = keeps; "" for no form
    } cases[] = {
        // Parted by blanks into three or five ku: kept as parted, misses marked.
        {"4 ~1 |3 4 |3 ~2", u"5・7・5", "==="},
        {"3 3 |3 4 |5", u"6・7・5", "+=="},
        {"5 |7 |4 |7 |7", u"5・7・4・7・7", "==-=="},
        // Written in one run: grouped at word boundaries nearest the form.
        {"4 ~1 4 3 2 ~1 2", u"5・7・5", "==="},
        {"3 3 3 4 5", u"6・7・5", "+=="},
        {"5 7 5 7 7", u"5・7・5・7・7", "====="},
        // Two halves of a tanka parted by one blank: each half grouped on its own side.
        {"2 3 4 3 5 |6 ~1 7", u"5・7・5・7・7", "====="},
        // Only a particle can start the third ku: taken, since nothing else keeps the form.
        {"5 4 3 ~5", u"5・7・5", "==="},
        // Prose, or too far from either form: counted whole, or by its blanks.
        {"10 12 9", u"31", ""},
        {"2 2", u"4", ""},
        {"3 |4 |2 |1", u"3・4・2・1", ""},
        {"", u"", ""},
    };
    for (const auto &c : cases) {
        const LineMeter m = meterOf(wordsOf(c.words));
        EXPECT_EQ(m.kuText(), QString::fromUtf16(c.ku)) << c.words;
        QString deviations;
        for (qsizetype k = 0; m.isForm() && k < m.ku.size(); ++k)
            deviations += QLatin1Char("-=+"[m.deviation(k) + 1]);
        EXPECT_EQ(deviations, QLatin1String(c.deviations)) << c.words;
    }
}

TEST(Mora, StanzasAreCountedByPoem)
{
    // Lines as in wordsOf, parted by " / "; `poetic` marks every line as verse.
    const struct
    {
        PoemForm form;
        const char *lines;
        bool poetic;
        const char16_t *poems;  // each poem's ku, " / " between poems
        const char16_t *shares; // each line's ku
        const char *deviations; // per line's ku, as above, " " between lines
    } cases[] = {
        // A haiku on three lines, a tanka on two (the second line is its lower ku) or five.
        {PoemForm::Auto, "4 ~1 / 3 4 / 3 ~2", false, u"5・7・5", u"5 / 7 / 5", "= = ="},
        {PoemForm::Auto, "5 |7 |5 / 7 |7", false, u"5・7・5・7・7", u"5・7・5 / 7・7", "=== =="},
        {PoemForm::Auto, "5 / 7 / 6 / 7 / 7", false, u"5・7・6・7・7", u"5 / 7 / 6 / 7 / 7",
         "= = + = ="},
        // Two haiku on consecutive lines stay two, spaced or not; so do prose lines.
        {PoemForm::Auto, "5 |7 |5 / 4 ~1 4 3 2 ~1 2", false, u"5・7・5 / 5・7・5",
         u"5・7・5 / 5・7・5", "=== ==="},
        {PoemForm::Auto, "10 12 / 9 8", false, u"22 / 17", u"22 / 17", " "},
        // A sedoka parted in six.
        {PoemForm::Auto, "5 |7 |7 |5 |7 |7", false, u"5・7・7・5・7・7", u"5・7・7・5・7・7",
         "======"},
        // Verse nearly a tanka in all is split where it comes nearest; prose is not.
        {PoemForm::Auto, "6 6 6 6 7", true, u"6・6・6・6・7", u"6・6・6・6・7", "+-+-="},
        {PoemForm::Auto, "6 6 6 6 7", false, u"31", u"31", ""},
        // A form chosen: each poem measured against it, however far.
        {PoemForm::Tanka, "5 7 6 7 7", false, u"5・7・6・7・7", u"5・7・6・7・7", "==+=="},
        {PoemForm::Haiku, "3 4 |2 |5", false, u"7・2・5", u"7・2・5", "+-="},
        {PoemForm::Tanka, "5 |7 |4", false, u"5・7・4", u"5・7・4", "==-"}, // its upper ku
        {PoemForm::Sedoka, "5 7 7 / 5 7 7", false, u"5・7・7・5・7・7", u"5・7・7 / 5・7・7",
         "=== ==="},
        // Free verse: the ku as blanks and lines part them, one poem, no verdict.
        {PoemForm::Free, "3 4 |5 / 6", false, u"7・5・6", u"7・5 / 6", " "},
    };
    for (const auto &c : cases) {
        QList<QList<MeteredWord>> lines;
        for (const QString &line : QString::fromLatin1(c.lines).split(QStringLiteral(" / ")))
            lines.append(wordsOf(line.toLatin1().constData()));
        const StanzaMeter m = meterOfStanza(lines, c.form, QList<bool>(lines.size(), c.poetic));
        QStringList poems, shares, deviations;
        for (const LineMeter &p : m.poems)
            poems << p.kuText();
        for (const LineMeter &l : m.lines) {
            shares << l.kuText();
            QString d;
            for (qsizetype k = 0; l.isForm() && k < l.ku.size(); ++k)
                d += QLatin1Char("-=+"[l.deviation(k) + 1]);
            deviations << d;
        }
        EXPECT_EQ(poems.join(QStringLiteral(" / ")), QString::fromUtf16(c.poems)) << c.lines;
        EXPECT_EQ(shares.join(QStringLiteral(" / ")), QString::fromUtf16(c.shares)) << c.lines;
        EXPECT_EQ(deviations.join(u' '), QLatin1String(c.deviations)) << c.lines;
    }
}

TEST(Mora, ListsCountThePoemAndLatinWordsTheirSyllables)
{
    const struct
    {
        const char16_t *line;
        const char16_t *poem;
    } lists[] = {
        {u"1　秋の田のかりほの庵の苫をあらみ　天智天皇", u"秋の田のかりほの庵の苫をあらみ"},
        {u"１２　春 夏 秋 冬 雪　詠人", u"春 夏 秋 冬 雪"},
        {u"3 古池や 蛙飛び込む 水の音", u"古池や 蛙飛び込む 水の音"},
        {u"古池や　蛙飛び込む　水の音", u"古池や　蛙飛び込む　水の音"},
        {u"二　春　人", u"二　春　人"},
    };
    for (const auto &c : lists) {
        const QString line = QString::fromUtf16(c.line);
        const auto [from, to] = poemSpan(line);
        EXPECT_EQ(line.sliced(from, to - from), QString::fromUtf16(c.poem));
    }
    const struct
    {
        const char *word;
        int syllables;
    } latin[] = {{"love", 1}, {"make", 1}, {"little", 2}, {"the", 1}, {"haiku", 2},
                 {"sky", 1},  {"xyz", 3},  {"NHK", 3},    {"WWW", 9}, {"JAPAN", 2}};
    for (const auto &c : latin)
        EXPECT_EQ(latinSyllables(QString::fromLatin1(c.word)), c.syllables) << c.word;
}

TEST(KanaRules, HistoricalKanaIsReadAsToday)
{
    const struct
    {
        const char16_t *written;
        const char16_t *said;
    } cases[] = {
        {u"かりほ", u"かりお"},
        {u"なほ", u"なお"},
        {u"あへず", u"あえず"},
        {u"おもふ", u"おもう"},
        {u"けふ", u"きょう"},
        {u"てふ", u"ちょう"},
        {u"いふ", u"ゆう"},
        {u"あふ", u"おう"},
        {u"くれなゐ", u"くれない"},
        {u"こゑ", u"こえ"},
        {u"くわし", u"かし"},
        {u"あらむ", u"あらん"},
        {u"とどめむ", u"とどめん"},
        {u"すむ", u"すむ"},
        {u"はるのひ", u"はるのひ"},
        {u"せうそこ", u"しょうそこ"},
        {u"あはれ", u"あわれ"},
        {u"うらうらに", u"うらうらに"}, // a word said twice is no fused vowel
        {u"がふうはり", u"がふうわり"}, // nor is ふ before う
    };
    for (const auto &c : cases)
        EXPECT_EQ(modernFromHistorical(QString::fromUtf16(c.written)).text,
                  QString::fromUtf16(c.said))
            << qPrintable(QString::fromUtf16(c.written));
    EXPECT_TRUE(looksHistorical(u"人はいふなり"));
    EXPECT_TRUE(looksHistorical(u"こひすてふ"));
    EXPECT_TRUE(looksHistorical(u"母を背負ひて"));
    EXPECT_FALSE(looksHistorical(u"東京へ行く"));
    EXPECT_FALSE(looksHistorical(u"祖母のところへ遊びに行く")); // へ, today's particle
    EXPECT_TRUE(looksHistorical(u"おもひ出"));
    EXPECT_FALSE(looksHistorical(u"あさひがのぼる"));
}

TEST(KanaRules, NumbersMarksAndLongVowels)
{
    EXPECT_EQ(numberReading(u"2026"), QStringLiteral("にせんにじゅうろく"));
    EXPECT_EQ(numberReading(u"300"), QStringLiteral("さんびゃく"));
    EXPECT_EQ(numberReading(u"8000"), QStringLiteral("はっせん"));
    EXPECT_EQ(numberReading(u"120000"), QStringLiteral("じゅうにまん"));
    EXPECT_EQ(expandKanaRepetition(u"いすゞ"), QStringLiteral("いすず"));
    EXPECT_EQ(expandKanaRepetition(u"こゝろ"), QStringLiteral("こころ"));
    EXPECT_EQ(longVowelsAsKana(u"ノート"), QStringLiteral("ノオト"));
    EXPECT_EQ(longVowelsAsKana(u"ーあ"), QStringLiteral("あ"));
    // Hepburn: digraphs, っ before ch and at the end, ん before a vowel or y, ー dropped,
    // katakana as hiragana, anything else kept.
    const std::pair<const char16_t *, const char *> latin[] = {
        {u"しゃしん ちょっと まっちゃ", "shashin chotto matcha"},
        {u"きんえん ほんや さんぽ あっ", "kin'en hon'ya sanpo a"},
        {u"ぢ づ ゐ ゑ を ゔぁ", "ji zu wi we wo va"},
        {u"ふぁ てぃ でゅ うぃ しぇ いぇ くぁ", "fa ti dyu wi she ye kwa"},
        {u"コーヒー, iPhone ぁ", "kohi, iPhone a"},
    };
    for (const auto &[kana, expected] : latin)
        EXPECT_EQ(hepburn(kana), QLatin1StringView(expected))
            << qPrintable(QString::fromUtf16(kana));
}

class Engine : public ::testing::Test
{
protected:
    static ReadingEngine &engine()
    {
        static ReadingEngine e;
        return e;
    }
};

// The bundled 百 list: a poem a line, written without blanks between its number and its
// poet. Each is counted as five ku of its poem alone.
TEST_F(Engine, TheBundledListsPoemsAreCountedInFiveKu)
{
    QFile file(QStringLiteral(KOTONAMI_DATA_DIR "/hyakunin.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int poems = 0;
    for (const QString &line : text::decodeDocument(file.readAll()).text.split(u'\n').mid(1)) {
        if (line.trimmed().isEmpty())
            continue;
        ++poems;
        EXPECT_EQ(engine().meter(line.trimmed()).ku.size(), 5) << qPrintable(line);
    }
    EXPECT_EQ(poems, 100);
}

TEST_F(Engine, ReadsPoemsNamesMarksAndNumbers)
{
    const struct
    {
        const char16_t *text;
        const char16_t *kana;
    } cases[] = {
        {u"人々", u"ひとびと"},
        {u"瀬々", u"せ ぜ"},
        {u"2026年12月8日", u"にせんにじゅうろくねん じゅうにがつ ようか"},
        // A counter at the start of MeCab's word (時半), a date MeCab also knows as a place.
        {u"九時半から十四日まで一箱、一人前",
         u"くじはんから じゅうよっかまで ひとはこ, いちにんまえ"},
        {u"｜春日《かすが》の山", u"かすがの やま"},
        {u"この大きな家の前で", u"この おおきな いえの まえで"},
        // Rain falls (降る), a passenger gets off (降りる).
        {u"雨が降りました", u"あめが ふりました"},
        {u"電車を降りました", u"でんしゃお おりました"},
        // 来 and 行 in verse by the ending that follows them.
        {u"夏来にけらし 春行かむ 君来ぬと", u"なつ きに けら し, はる ゆ かん, きみ きぬと"},
        // One kanji MeCab takes for a country's name is, alone, the word; in a compound
        // the country.
        {u"秋の日や古き仏に花を置く", u"あきのひや ふるき ほとけに はなお おく"},
        {u"露の世の米の飯", u"つゆのよの こめの めし"},
        {u"日当りのよい窓", u"ひあたりの よい まど"},
        {u"日米の会議が開かれた。", u"にち べいの かいぎが ひらかれた"},
        // Classical -るる and -るれ after a verb's stem in kanji.
        {u"清水流るる 暮るる 乱るれ", u"しみず ながるる, くるる, みだるれ"},
        // The small っ old prints write large, after a kanji and in historical kana.
        {u"手に取つて", u"てに とって"},
        {u"夏野となつてゐる", u"なつのと なっている"},
        {u"名月をとつてくれろと泣子哉", u"めいげつお とって くれろと なくこ かな"},
        // A waka's recited sounds: む after an irrealis, a verb in ふ after an a-row kana,
        // いふ; never at a word's start (ぞふく). A haiku says its verbs as today's.
        {u"花の色は 移りにけりな 山風ぞふく 逢ふ人もなし 君待たなむ",
         u"はなの いろわ, うつりに けりな, やまかぜぞ ふく, おう ひとも なし, きみ また なん"},
        {u"秋の夜を 人はいふなり 月の影 雲居にまがふ 沖の白波",
         u"あきの よお, ひとわ ゆう なり, つきの かげ, くもいに まごう, おきの しらなみ"},
        {u"白牡丹といふといへども膳を這ふ", u"はくぼたんと いうと いえども ぜんお はう"},
        // Historical kana after a kanji: the passive's は, a perfective へり; 初む after a
        // verb's continuative; 京 as MeCab's name is its Chinese sound.
        {u"大きなる手があらはれて小石拾へりけるかも",
         u"おおきなる てが あらわれて こいし ひろえり けるかも"},
        {u"朝顔や濁り初めたる京の空", u"あさがおや にごり そめたる きょうの そら"},
        // A kanji alone in a waka is its native word, from KANJIDIC where MeCab has none.
        {u"最上川逆白波のたつまでにふぶくゆふべとなりにけるかも",
         u"もがみがわ さかしらなみの たつまでに ふぶく ゆうべと なりに けるかも"},
        {u"春の夜の闇はあやなし梅の花色こそ見えね香やは隠るる",
         u"はるのよの やみわ あやなし うめの はな いろこそ みえね かやわ かくるる"},
        // Where MeCab has the native word only as a name, KANJIDIC's (園 その).
        {u"わが園の　梅のはつ花　咲きにけり　君が来まさむ　春を待ちつつ",
         u"わが そのの, うめの はつ はな, さきにけり, きみが き まさん, はるお まちつつ"},
        // Years in native numbers, 来 before the perfective ぬれ, and 言 alone as こと.
        {u"五年を　ひとり経にけり　別れ来ぬれば　言も通はぬ　夜半の月影",
         u"いつとせお, ひとり へにけり, わかれ きぬれば, ことも かよわぬ, よわの つきかげ"},
        // らむ after a verb in kana is the auxiliary, not MeCab's verb くらむ, before any kana.
        {u"憶良らは今は罷らむ子泣くらむそれその母も",
         u"おくららわ いまわ まからん こ なく らん それ その ははも"},
        {u"春風に　氷とくらむ　山川の　岸の家をぞ　思ひ出でける",
         u"はるかぜに, こおりと くらん, やまがわの, きしの いえおぞ, おもいいで ける"},
        // はは as written, a kana written again after MeCab's reading (幽けき), に and や
        // two particles, MeCab's といふ recited.
        {u"ははそはの　母を思へば　幽けき　春にやあらむ　風といふなり",
         u"はは そわの, ははお おもえば, かそけき, はるにや あらん, かぜと ゆうなり"},
        // A verb's continuative before the verb it makes a compound with (うちはらふ).
        {u"旅衣　袖うちはらふ　朝霜に　見ゆる山路の　遠き白雪",
         u"たびごろも, そで うちはらう, あさじもに, みゆる やまじの, とおき しらゆき"},
        // Nor after a kanji or a verb's て (袖ふれし, ぬけてふる).
        {u"誰が袖ふれし宿の梅ぞも 底ぬけてふるみぞれかな",
         u"たが そで ふれし やどの うめぞも, そこぬけて ふる みぞれかな"},
        // A haiku in one run known by its classical ending; its te-form as old prints write
        // it, and no name where a verb's stem stands (花咲 is a place).
        {u"桜散て池に浮きけり花筏", u"さくら ちって いけに うきけり はないかだ"},
        {u"木の葉の落て流るる川哉", u"このはの おちて ながるる かわ かな"},
        // 哉 ending the line makes it verse however long it reads (聞夜 きくよる).
        {u"夜の庵に雨を聞夜哉", u"よの いおに あめお きく よる かな"},
        {u"痩骨をさする朝寒夜寒かな", u"やせぼねお さする あささむ よさむかな"},
        // The continuative of a verb of one row (落かゝる, 焼にけり, 生たる), the passive
        // after a verb of five rows (吹るゝ), native numbers before kana (二もと, 十とせ).
        {u"花散て月落かゝる山路哉", u"はな ちって つきおち かかる やまじ かな"},
        {u"古寺も焼にけり二もとの松の風", u"ふるでらも やけに けり ふた もとの まつの かぜ"},
        {u"十とせ生たる犬に吹るゝ野分かな", u"ととせ いきたる いぬに ふかるる のわきかな"},
        {u"山吹の垣根に白き花咲きぬ", u"やまぶきの かきねに しろき はな さきぬ"},
        {u"秋風や模様のちがふ皿二つ", u"あきかぜや もようの ちがう さら ふたつ"},
        // An adjective's kanji before the closing かな is its noun in さ; a verb's ふ ends the
        // word before kana (くふ ほたる, たまふ なり); は after を is no particle; a verb in ふ
        // after an a-row sound is today's verb outside a recited waka (舞ふ まう).
        {u"山里の夜の寒かな", u"やまざとの よの さむさかな"},
        // (Not a verb's noun in い: 匂 にお.う, にお.い.) A kana and its う said twice fuse as
        // one word, at a word's start too.
        {u"菊人形なき匂かな ひうひうと風は空行く",
         u"きく にんぎょう なき においかな, ひゅう ひゅうと かぜわ そら ゆく"},
        {u"夜もすがら葉をくふほたる哉", u"よもすがら はお くう ほたる かな"},
        {u"よるのみちぬけるほたる哉", u"よるの みち ぬける ほたる かな"},
        {u"舟は岸をはなるゝ朝かな", u"ふねわ きしおは なるる あさかな"},
        {u"蝶の舞ふ野辺の朝日かな", u"ちょうの まう のべの あさひかな"},
        {u"母はしづかに眠りたまふなり", u"ははわ しずかに ねむり たまうなり"},
        // 御 before a native noun (おん in verse), へる after a kanji, rendaku after a verb's
        // continuative, okurigana left out before べし, ending a line, of three kana.
        {u"御目の涙ぬぐはばや", u"おん めの なみだ ぬぐわばや"},
        {u"岩清水吸へる苔 かこち顔なる月", u"いわしみず すえる こけ, かこちがおなる つき"},
        {u"これぞ里の名成べし", u"これぞ さとの な なるべし"},
        {u"口や牡丹を吐んとす", u"くちや ぼたんお はかんと す"},
        {u"ふと立止まりて雨を見るかな", u"ふと たちどまりて あめお みるかな"},
        // A verb of one row and one sound's stem before its continuative's auxiliaries.
        {u"糊もはげて居にけり 幾夜経なば", u"のりも はげて いに けり, いくよ へなば"},
        // An adjective's classical forms in かり, which no dictionary holds.
        {u"山の夜は寒かりけり 秋の夜は涼しかるらむ",
         u"やまの よわ さむかりけり, あきの よわ すずしかる らん"},
        {u"霜を踏 分れ行く人の影もなし 方へあゆみ行",
         u"しもお ふむ, わかれ ゆく ひとの かげも なし, かたえ あゆみゆく"},
        // A classical ending (やも) tells verse; its む after an irrealis is ん.
        {u"銀も玉もいかにせむ子にしかめやも", u"ぎんも たまも いかに せんこに しかめやも"},
        {u"我にはたらく日のあれよ", u"われに はたらくひの あれよ"},
        // A compound the IPA dictionary splits and naist-jdic holds whole; a kanji alone
        // that only naist-jdic knows as a word (栖; 鋏 is KANJIDIC's はさみ, below).
        {u"その末年に籠手の上に霰", u"その まつねんに こてのうえに あられ"},
        {u"山かげの栖", u"やまかげの すみか"},
        // The old 寝る before a noun is ぬる; ending a line, today's ねる.
        {u"ひとり寝る夜の 月影かな 見て寝る", u"ひとり ぬる よの, つきかげかな, みて ねる"},
        // A kanji in a word MeCab does not know is read on its own, never dropped.
        {u"痩骨", u"そうこつ"},
        // Approximate numbers, with the counter's sound after them.
        {u"四五人", u"しごにん"},
        {u"十四五本", u"じゅうしごほん"},
        {u"二三片", u"にさんぺん"},
        {u"六七本", u"ろくしちほん"},
        // A line of today's words whose words part as a haiku's ku is a haiku, its meter
        // the evidence (うお); a place's name that is a form of the kanji's verb stays (入
        // いり); a verb's し before a noun is no compound (死し鶴).
        {u"塩鯛の歯茎も寒し魚の店", u"しおだいの はぐきも さむし うおの みせ"},
        {u"劫初より作りいとなむ殿堂にわれも黄金の釘一つ打つ",
         u"ごうしょより つくり いとなむ でんどうに われも こがねの くぎ ひとつ うつ"},
        {u"毎年よ彼岸の入に寒いのは", u"まいとしよ ひがんの いりに さむいのわ"},
        {u"人に死し鶴に生れて冴返る", u"ひとに しし つるに うまれて さえ かえる"},
        {u"八九匹 何時に駅で待ち合わせしようか。",
         u"はっくひき, なんじに えきで まちあわせ しようか"},
        // An era's or a person's name naist-jdic holds, where the IPA dictionary makes up
        // others.
        {u"延宝の頃の話、享保の頃の話である。西施は呉の国の美人であつた。",
         u"えんぽうのころの はなし, きょうほうのころの はなしである, せいしわ ごの くにの "
         u"びじんであった"},
        {u"五六騎 一歩 三歩 三遍 一斗 三升",
         u"ごろっき, いっぽ, さんぽ, さんべん, いっと, さんじょう"},
        // The prefix 大 before a native word, and before a Chinese one.
        {u"大蛍 大問題", u"おおほたる, だいもんだい"},
        // In verse the native prefix voices the word after it (rendaku).
        {u"夜の川に大蛍かな", u"よの かわに おおぼたるかな"},
        // In verse 一 and 二 before a native word in kanji are ひと and ふた.
        {u"二声鳴きぬ 一坏の酒を飲むべくあるらし",
         u"ふたこえ なきぬ, ひとつきの さけお のむべくあるらし"},
        {u"二手に分かれ行く雁や", u"ふたてに わかれ ゆく かりや"},
        // In today's prose, naist-jdic's reading of a word both dictionaries part alike, and
        // no particle where its word starts with は.
        {u"夜中の十二時近くまで。外国人が大勢やって来た。少しはなれた山。",
         u"よなかの じゅうにじ ちかくまで, がいこくじんが おおぜい やってきた, すこし はなれた "
         u"やま"},
        // Kanji numerals MeCab reads digit by digit, with their counters.
        {u"二十歳の春", u"はたちの はる"},
        {u"妹も二十 春の野に 花を摘む", u"いもも はたち, はるの のに, はなお つむ"},
        {u"十二月一日", u"じゅうにがつ ついたち"},
        {u"子供が四人", u"こどもが よにん"},
        {u"二、三日雨が降った。", u"にさんにち あめが ふった"},
        {u"昭和九年に九年待った。", u"しょうわ くねんに きゅうねん まった"},
        {u"三百本", u"さんびゃっぽん"},
        {u"一隊の兵、一体、八社、十滴。", u"いったいの へい, いったい, はっしゃ, じゅってき"},
        // 十分 before a word of time is minutes, where MeCab says enough.
        {u"駅まで歩いて十分ほどかかります。十分に休んだ。",
         u"えきまで あるいて じゅっぷんほど かかります, じゅうぶんに やすんだ"},
        {u"ねぎを一束買った。米を二袋。", u"ねぎお ひとたば かった, こめお ふたふくろ"},
        {u"一きれのパンを一から作る。", u"ひときれの ぱんお いちから つくる"},
        {u"七重八重", u"ななえ やえ"},
        // Historical kana by word: never a word's first は, but inside the word.
        {u"はたらけど はたらけど", u"はたらけど, はたらけど"},
        // Nor after a particle that ends a phrase (も), or a kanji that writes no verb (袖).
        {u"息もふかげに燃ゆるとき 袖ひちてむすびし水の",
         u"いきも ふかげに もゆるとき, そで ひちて むすびし みずの"},
        // Ruby in old spelling fuses with the う after it.
        {u"年は漸《やうや》う二十を越えた。哂《わら》う。",
         u"としわ ようよう にじゅうお こえた, わらう"},
        // A large つ after a kanji before a k-sound is a small one; 待つから keeps its own.
        {u"草履を突つかけて出て行つた。待つから来いと言つた。",
         u"ぞうりお つっかけて でて いった, まつから こいと いった"},
        // The copula じゃ written ぢや.
        {u"これぢや困る。", u"これじゃ こまる"},
        // Kana said twice start a word each time.
        {u"秋の夜のほがらほがらと天の原", u"あきのよの ほがら ほ がらと あまのはら"},
        // A kanji no word covers is read from the kanji dictionary, never dropped; a variant
        // as the kanji it stands for.
        {u"これは皃です", u"これわ かたちです"},
        // Old prints write a stem's last kana too; ruby without ｜ goes to the kanji it spells.
        {u"珍らしい旅人が短かい道を行なう", u"めずらしい たびびとが みじかい みちお おこなう"},
        {u"唐の都洛陽《らくよう》の西", u"とうの みやこ らくようの にし"},
        {u"山﨑さん", u"やまざきさん"},
        {u"鋏", u"はさみ"},
        // Half-width katakana with its voiced mark; ruby of dots reads its base.
        {u"ｶﾞｯｺｳ", u"がっこう"},
        {u"｜完全に怒った《・・・・・・》", u"かんぜんに おこった"},
        // Ruby on part of a word leaves the rest its reading; okurigana after a ruby base
        // are read with its word; ruby in historical kana is said as today, a は-row kana
        // of today's spelling stays.
        {u"天の香具山《かぐやま》", u"あまのかぐやま"},
        {u"彼は思《おも》ふに", u"かれわ おもうに"},
        {u"｜白妙《しろたへ》の衣", u"しろたえの ころも"},
        {u"朝日《あさひ》が溢《あふ》れる", u"あさひが あふれる"},
        // Ruby the kanji dictionary spells only in today's kana is old spelling.
        {u"廻《まは》れば大門《おほもん》の地方《ちほう》", u"まわれば おおもんの ちほう"},
        {u"川を上下《じやうげ》する一杯《いつぱい》の舟、五日《いつか》",
         u"かわお じょうげ する いっぱいの ふね, いつか"},
        // Prose in old spelling is prose, in today's: the large つ, the volitional う, 云ふ;
        // ruby in old spelling said as its word, ruby read as written kept.
        {u"或日《あるひ》、羅生門《らしやうもん》の下で待つてゐた。",
         u"あるひ, らしょうもんの したで まっていた"},
        {u"云ふまでもなく、夢であつた。何処まで参りませう。此夏は其町に住んだ。",
         u"いうまでも なく, ゆめであった, どこまで まいりましょう, この なつわ その まちに "
         u"すんだ"},
        {u"ぢつと手を見る。有るやうで無し。", u"じっと てお みる, あるようで なし"},
        // Ruby in old spelling said as any of the base's dictionary readings, or in today's
        // kana; ruby over a word of the dictionary's goes to all of it (法衣 ころも).
        {u"蝙蝠《かうもり》が飛ぶ。旅の法衣《ころも》を着て、岩畳《がんじやう》の火鉢に寄つた。",
         u"こうもりが とぶ, たびの ころもお きて, がんじょうの ひばちに よった"},
        {u"恥かしさうに笑つた。", u"はずかしそうに わらった"},
        {u"猿が木の枝にぶら下つてゐた。男は飛び上つて喜んだ。舟で川を下つて海に出た。",
         u"さるが きの えだに ぶらさがっていた, おとこわ とびあがって よろこんだ, ふねで "
         u"かわお くだって うみに でた"},
        {u"坂を下つて行つた。", u"さかお くだって いった"},
        {u"綱を引張《ひつぱ》つて舟になつてゐる", u"つなお ひっぱって ふねに なっている"},
        // を starting a line is no particle but old spelling.
        {u"をとゝひの雨の名残の水たまり", u"おとといの あめの なごりの みずたまり"},
        {u"やつぱり駄目だつた。もつと光を。かつて欲しいものはなかつた。",
         u"やっぱり だめだった, もっと ひかりお, かつて ほしいものわ なかった"},
        {u"ちよつと待つて。しやうがない事であつた。",
         u"ちょっと まって, しょうがない ことであった"},
        {u"雨ニモマケズ風ニモマケズ", u"あめにも まけず かぜにも まけず"},
        // In verse: 行き ゆき, 入る いる, 我 before a noun わが; 御 before a verb お; 石 after
        // a number こく.
        {u"あかねさす 紫野行き 日の入る夕 我目には",
         u"あかねさす, むらさきのゆき, ひの いる ゆう, わがめにわ"},
        {u"ぶらぶら御歩きになる", u"ぶらぶら おあるきに なる"},
        // 入る after a verb is いる, alone はいる.
        {u"分け入つても青い山 部屋に入った", u"わけいっても あおい やま, へやに はいった"},
        {u"是がまあ 是が非でも", u"これが まあ, ぜが ひでも"},
        {u"我を忘れて走った。", u"われお わすれて はしった"},
        {u"十五万石の城下", u"じゅうごまんごくの じょうか"},
        {u"大学の四年間", u"だいがくの よねんかん"},
        // Older prose's kanji for words today's text writes in kana.
        {u"其処で矢張り何うしても此方を見た。", u"そこで やはり どうしても こちらお みた"},
        // An electronic text's notes are not read; 云った is いった.
        {u"其《そ》の時［＃「其の時」に傍点］彼は云った", u"そのとき かれわ いった"},
        {u"石走る 垂水の上の さわらびの", u"いわばしる, たるみの うえの, さわらびの"},
        {u"山の端に一目見ん一目みんとて", u"やまのはに ひとめ みん ひとめ みんとて"},
        // A kanji no word covers, with okurigana, by the kun that ends so.
        {u"手が顫える", u"てが ふるえる"},
        {u"ヒヤシンス薄紫に咲きにけりはじめて心顫ひそめし日",
         u"ひやしんす うすむらさきに さきにけり はじめて こころ ふるい そめし ひ"},
        {u"遠き野に犬吠ゆる夜の寒さかな", u"とおき のに いぬ ほゆる よの さむさかな"},
        // A long run of kana MeCab has no word for still holds particles; a word of the
        // old language starts where the kana before it end a word.
        {u"かたるらくほろびしものはなつかしきかな", u"かたるらく ほろびしものわ なつかしきかな"},
        {u"あかあかと一本の道とほりたりたまきはる我が命なりけり",
         u"あかあかと いっぽんの みち とおりたり たまきわる わが いのちなりけり"},
        {u"その子二十櫛にながるる黒髪のおごりの春のうつくしきかな",
         u"その こ はたち くしに ながるる くろかみの おごりの はるの うつくしきかな"},
        // Okurigana old prints leave out: a verb's before another verb and before a noun.
        {u"古池や蛙飛こむ水のおと", u"ふるいけや かわず とびこむ みずの おと"},
        {u"名月を取てくれろと泣子哉", u"めいげつお とって くれろと なく こ かな"},
        {u"春風や小き子らの遊ぶ声", u"はるかぜや ちいさき こらの あそぶ こえ"},
        {u"一匙のココア、二匙の砂糖", u"ひとさじの ここあ, ふたさじの さとう"},
        {u"秋待ちがてぬ我いのちかも", u"あきまちがてぬ わが いのちかも"},
        // A kanji alone in a waka is its native word.
        {u"恋ひわびて　逢ふ術もなく　門に立つ　夕暮の空　雲ぞ流るる",
         u"こい わびて, おう すべも なく, かどに たつ, ゆうぐれの そら, くもぞ ながるる"},
        // A word of one kanji in the lexicon does not start MeCab's common noun (恋人).
        {u"春の野に　わが恋人の　名を呼べば", u"はるの のに, わが こいびとの, なお よべば"},
        // A word of the lexicon MeCab does not know comes before a noun as its reading does.
        {u"此道や人も通らず秋の風", u"この みちや ひとも とおらず あきの かぜ"},
        // Rendaku where the dictionary knows the voiced form, not between two kanji.
        {u"緋縅の鎧をつけて太刀佩きて見ばやとぞ思ふ山桜花",
         u"ひおどしの よろいお つけて たち はきて みばやとぞ おもう やまざくらばな"},
        {u"見わたせば　柳桜を　こきまぜて", u"みわたせば, やなぎ さくらお, こきまぜて"},
        // A kana after a kanji that ends its verb is no left-out okurigana's; つつ stays.
        {u"君をおきて　あだし心を　わが持たば　末の松山　波も越えなむ",
         u"きみお おきて, あだしごころお, わが もたば, すえのまつやま, なみも こえ なん"},
        {u"世の中は　夢かうつつか　うつつとも　夢とも知らず　ありてなければ",
         u"よのなかわ, ゆめかうつつか, うつつとも, ゆめとも しらず, ありてなければ"},
        {u"あをによし　奈良の都は　咲く花の　にほふがごとく　今盛りなり",
         u"あおによし, ならの みやこわ, さく はなの, におうがごとく, いま さかりなり"},
        // A kanji no dictionary knows before an old print's okurigana; days and 前 after
        // a time; 一 before a noun of a verb; ruby in old spelling over a compound.
        {u"供奉の職に陞った日まで、敢て刻苦して",
         u"ぐぶの しょくに のぼった ひまで, あえて こっく して"},
        {u"五月十七日に会う。死ぬ二三日前台所で",
         u"ごがつ じゅうしちにちに あう, しぬ にさんにちまえ だいどころで"},
        {u"旅人の一群れが歩いている。みんな玉のように白い。",
         u"たびびとの ひとむれが あるいている, みんな たまのように しろい"},
        {u"良平《りやうへい》は東京へ出て来た。", u"りょうへいわ とうきょうえ でてきた"},
        // Historical kana word by word: a は-row vowel ends its word, や after an i-row kana
        // in a waka is the particle; old prints' 一ツ, 一しよに, 来れり.
        {u"捨てきれない荷物のおもさまへうしろ", u"すてきれない にもつの おもさ まえうしろ"},
        {u"途中にてふと気が変り、　つとめ先を休みて",
         u"とちゅうにて ふと きが かわり, つとめさきお やすみて"},
        {u"名にし負はば　いざこと問はむ　都鳥　わが思ふ人は　ありやなしやと",
         u"なにし おわば, いざ こと とわん, みやこどり, わが おもう ひとわ, ありや なしやと"},
        {u"時鳥消行方や島一ツ", u"ほととぎす しょう ゆくえや しま ひとつ"},
        {u"皆同じやうに着せられてゐた。", u"みな おなじように きせられていた"},
        {u"秋の野に　咲きたる花を　指折りて　かき数ふれば　七種の花",
         u"あきの のに, さきたる はなお, ゆびおりて, かき かぞうれば, ななくさの はな"},
        {u"妻子と一しよに東京へ出て来た。", u"さいしと いっしょに とうきょうえ でてきた"},
        {u"大といふ字を百あまり　砂に書き　死ぬことをやめて帰り来れり",
         u"だいという じお ひゃく あまり, すなに かき, しぬことお やめて かえり きたれり"},
        // A suffix's or a prefix's sound where the word is the kanji's own (薄, 皆 みな); a
        // word MeCab makes up ends before a kanji with okurigana; a haiku long by one keeps its
        // words.
        {u"山は暮て野は黄昏の薄哉", u"やまわ くれて のわ たそがれの すすき かな"},
        {u"山国の虚空日わたる冬至かな", u"やまぐにの こくう ひ わたる とうじかな"},
        {u"木も草も皆秋風に吹かれけり", u"きも くさも みな あきかぜに ふかれけり"},
        // naist-jdic's word where MeCab knows none (帚木), but not Chinese sounds for a verb's
        // kanji before a noun in verse (痩骨); a word said twice keeps its む.
        {u"帚木の影ひとつなき野の暮れ", u"ははきぎの かげ ひとつ なき のの くれ"},
        {u"痩骨の影さむざむと月の下", u"やせぼねの かげ さむざむと つきの した"},
        // A suffix voiced as in a compound is none where a word starts with its kanji.
        {u"梅一輪日当りながら咲きにけり", u"うめ いちりん ひあたりながら さきにけり"},
        // 御 before a native noun of one kanji in a recited waka is the old み.
        {u"春の日に　御野の若菜を　摘みにけり　君がためとて　袖ぬらしつつ",
         u"はるのひに, み のの わかなお, つみに けり, きみがためとて, そで ぬらしつつ"},
        {u"石工の鑿冷したる清水かな", u"せっこうの のみ ひやしたる しみずかな"},
        {u"小夜時雨上野を虚子の来つつあらん", u"さよしぐれ うえのお きょしの きつつ あらん"},
        {u"家にあれば　笥に盛る飯を　草枕　旅にしあれば　椎の葉に盛る",
         u"いえに あれば, けに もる めしお, くさまくら, たびに しあれば, しいの はに もる"},
        // A tanka's three lines on one keep their marks and stay verse; prose stays prose.
        {u"人がみな　同じ方角に向いて行く。　それを横より見てゐる心。",
         u"ひとが みな, おなじ ほうがくに むいて ゆく, それお よこより みている こころ"},
        {u"駅へ行く。　雨が降る。　傘を持つ。", u"えきえ いく, あめが ふる, かさお もつ"},
    };
    // The sounds, and the pauses at marks and blanks; where the words part is the lattice's.
    const auto sounds = [](QString kana) { return kana.remove(u' '); };
    for (const auto &c : cases)
        EXPECT_EQ(sounds(engine().kana(QString::fromUtf16(c.text))),
                  sounds(QString::fromUtf16(c.kana)))
            << qPrintable(QString::fromUtf16(c.text));
    // Historical kana split where today's spelling would split it: やはらか is one word.
    EXPECT_TRUE(engine()
                    .kana(u"やはらかに柳あをめる北上の岸辺目に見ゆ泣けとごとくに")
                    .startsWith(QStringLiteral("やわらかに やなぎ あおめる")));
}

TEST_F(Engine, ModernProseReadsAsMecabReadsIt)
{
    // Sentences of everyday prose: the engine adds word blanks and lengthens ー as a vowel,
    // but what is said is MeCab's reading, as before the engine existed.
    const char16_t *prose[] = {
        u"今日は朝から雨が降っている",
        u"彼女は図書館で本を読んでいた",
        u"新しい仕事にもだいぶ慣れてきた",
        u"週末は家族と海へ出かける予定だ",
        u"このパソコンは少し古くなった",
        u"窓を開けると涼しい風が入ってきた",
        u"会議は午後三時に始まります",
        u"子どもたちが公園で遊んでいる",
        u"夕食の後で散歩に行きましょう",
        u"電車が遅れて学校に遅刻した",
        u"庭の花がきれいに咲いている",
        u"友達から手紙が届いた",
        u"明日は早く起きなければならない",
        u"駅前に新しい店ができた",
        u"山の上から町がよく見える",
        u"冷たい水を一杯ください",
        u"この本はとても面白かった",
        u"先生に質問をしてみた",
        u"雪が降って道が白くなった",
        u"彼は毎朝コーヒーを飲む",
        u"東京へ行く電車に乗った",
        u"机の上に鉛筆が置いてある",
        u"祖母は料理がとても上手だ",
        u"夏休みに海で泳いだ",
        u"病院で薬をもらった",
        u"空には星がたくさん見えた",
        u"犬が元気よく走っている",
        u"お母さんに電話するのを忘れていた",
        u"母は台所で魚を焼いている",
        u"静かな部屋で音楽を聴いた",
    };
    // Spelling aside: を is お, and おう ええ said as the long vowels they are.
    const auto sound = [](const QString &kana) {
        QString s = longVowelsAsKana(toHiragana(kana));
        s.remove(u' ');
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i] == u'を')
                s[i] = u'お';
            else if (i > 0 && s[i] == u'う' &&
                     QStringView(u"おこそとのほもよろごぞどぼぽょ").contains(s[i - 1]))
                s[i] = u'お';
            else if (i > 0 && s[i] == u'い' &&
                     QStringView(u"えけせてねへめれげぜでべぺ").contains(s[i - 1]))
                s[i] = u'え';
        }
        return s;
    };
    MecabReader mecab;
    for (const char16_t *sentence : prose) {
        const QString text = QString::fromUtf16(sentence);
        EXPECT_EQ(sound(engine().kana(text)), sound(mecab.reading(text))) << qPrintable(text);
    }
}

TEST_F(Engine, SoundsAreCountedFromTheReadingByKu)
{
    const struct
    {
        const char16_t *line;
        const char16_t *ku;
    } cases[] = {
        {u"古池や蛙飛び込む水の音", u"5・7・5"},
        // とまをあらみ: six sounds, the third ku too long.
        {u"秋の田の かりほの庵の 苫をあらみ わが衣手は 露にぬれつつ", u"5・7・6・7・7"},
        {u"｜春日《かすが》の 山に 月", u"4・3・2"}, // ruby gives the sounds
        {u"きょうは2026年", u"13"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(engine().meter(QString::fromUtf16(c.line)).kuText(), QString::fromUtf16(c.ku))
            << qPrintable(QString::fromUtf16(c.line));
}

TEST_F(Engine, FuriganaGoesOverTheKanjiAndKeepsWrittenRuby)
{
    const struct
    {
        const char16_t *text;
        const char16_t *ruby;
        bool historical = false;
    } cases[] = {
        {u"春過ぎて", u"春《はる》過《す》ぎて"},
        {u"お茶を飲む", u"お茶《ちゃ》を飲《の》む"},
        // A word read whole (a phrase of the lexicon) gets ruby over each run of kanji;
        // kana spelled otherwise than said keep their letters (寝む ねん).
        {u"三笠の山に 水の音", u"三笠《みかさ》の山《やま》に 水《みず》の音《おと》"},
        {u"ひとりかも寝む", u"ひとりかも寝《ね》む"},
        // Written ruby, over kana or in katakana, is kept as written.
        {u"｜ひと《人》の国 ｜星《ホシ》", u"｜ひと《人》の国《くに》 ｜星《ホシ》"},
        {u"山川\n", u"山川《やまかわ》\n"},
        // Everything but the ruby stays as written: brackets, full-width marks, dashes.
        {u"「春」の歌！（一）", u"「春《はる》」の歌《うた》！（一《いち》）"},
        {u"ー―…‥　全角！？　ｶﾞｯｺｳ①", u"ー―…‥　全角《ぜんかく》！？　ｶﾞｯｺｳ①"},
        // Emphasis written as dots over a base or as 《《》》 stays as written.
        {u"｜完全《・・》と《《強調》》の声", u"｜完全《・・》と《《強調》》の声《こえ》"},
        // In historical kana: classical words whose spelling the lexicon reads are written
        // so, their okurigana matched in it (匂ひ, not 匂《にお》ひ); words of today, and a
        // reading another word's spelling shares, stay as today (京 is not けふ); ruby
        // already written stays as written.
        {u"白妙の衣", u"白妙《しろたへ》の衣《ころも》", true},
        {u"今日ここのへに匂ひぬるかな", u"今日《けふ》ここのへに匂《にほ》ひぬるかな", true},
        {u"京の春", u"京《きょう》の春《はる》", true},
        {u"｜白妙《しろたえ》", u"｜白妙《しろたえ》", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(engine().withRuby(QString::fromUtf16(c.text), c.historical),
                  QString::fromUtf16(c.ruby))
            << qPrintable(QString::fromUtf16(c.text));
}

TEST_F(Engine, ThePoetsDictionaryComesBeforeEverythingButRuby)
{
    Lexicon mine;
    mine.add(QStringLiteral("春日"), QStringLiteral("はるひ"));
    mine.add(QStringLiteral("𠮷野"), QStringLiteral("よしの")); // a kanji beyond the BMP
    ReadingEngine e;
    e.setUserDictionary(mine);
    EXPECT_EQ(e.kana(u"春日の山"), QStringLiteral("はるひの やま"));
    EXPECT_EQ(e.kana(u"｜春日《かすが》の山"), QStringLiteral("かすがの やま"));
    EXPECT_EQ(e.withRuby(u"𠮷野の桜"), QStringLiteral("𠮷野《よしの》の桜《さくら》"));
}

TEST_F(Engine, OutputHoldsOnlyWhatAVoiceCanSay)
{
    // Symbols, emoji, compatibility forms and rare kanji: kana, blanks, pauses and Latin
    // letters only, never a character a voice would spell out.
    const QString text =
        QStringLiteral("瀬々 ゝ ゞ ・ ～ ー ヶ ① ａｂｃ 🌸 Ⅲ ㈱ ㍻ 𠮷 髙 﨑 「花」★♪");
    const QString kana = engine().kana(text);
    for (QChar c : kana) {
        const bool fine = isHiragana(c.unicode()) || c == u' ' || c == u',' ||
                          (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        EXPECT_TRUE(fine) << "U+" << QString::number(c.unicode(), 16).toStdString() << " in "
                          << qPrintable(kana);
    }
    const QString romaji = engine().romaji(u"春過ぎて");
    EXPECT_EQ(romaji, QStringLiteral("haru sugite"));
    EXPECT_EQ(engine().withRuby(u"春の海"), QStringLiteral("春《はる》の海《うみ》"));
}

TEST_F(Engine, EspeakNeverSaysLetter)
{
    if (QProcess::execute(
            QStringLiteral("sh"),
            {QStringLiteral("-c"), QStringLiteral("command -v espeak-ng >/dev/null")}) != 0)
        GTEST_SKIP() << "espeak-ng is not installed";
    const QString text =
        QStringLiteral("この大きな木の下で 瀬々 ゝゞ・～ー ヶ ①ａｂｃ🌸Ⅲ㈱㍻𠮷髙﨑\n"
                       "キョーワiPhoneデ 2026年12月8日 ノート トオー");
    for (const QString &voiceText : {engine().kana(text)}) {
        for (const char *voice : {"ja", "en-us"}) {
            QProcess p;
            p.start(QStringLiteral("espeak-ng"),
                    {QStringLiteral("-v"), QString::fromLatin1(voice), QStringLiteral("-x"),
                     QStringLiteral("-q"), voice[0] == 'j' ? voiceText : engine().romaji(text)});
            ASSERT_TRUE(p.waitForFinished(20000));
            const QString phonemes = QString::fromUtf8(p.readAllStandardOutput());
            // "Japanese letter", "Chinese letter", "letter 3005" in espeak-ng's phonemes.
            static const QRegularExpression spelled(
                QStringLiteral("ap@ni:z|aIni:z|l[',]?[eE]t[#@3]"));
            EXPECT_FALSE(phonemes.contains(spelled)) << voice << ": " << qPrintable(phonemes);
        }
    }
}

} // namespace
