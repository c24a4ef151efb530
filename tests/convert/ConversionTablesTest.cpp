#include "convert/ConversionTables.h"
#include "QtPrinters.h"
#include "convert/Conversions.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace convert;

namespace {

struct KanaTable
{
    const char *name;
    const char16_t *keys;
    const char16_t *values;
};

// The three kana tables as the conversions must apply them, written out here by hand
// rather than read from the data files, so that a slip in a file shows.
const KanaTable kKanaTables[] = {
    {"kKata2Hira",
     u"ァィゥェォヵヶャュョッヮアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメ"
     u"モヤユヨラリルレロワヰヱヲンヴガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ",
     u"ぁぃぅぇぉかけゃゅょっゎあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめ"
     u"もやゆよらりるれろわいえをんぶがぎぐげござじずぜぞだぢづでどばびぶべぼはひふへほ"},
    {"kKata2Kanji",
     u"ァィゥェォヵヶャュョッヮアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメ"
     u"モヤユヨラリルレロワヰヱヲンヴガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ",
     u"阿伊宇江於加介也由与川和阿伊宇江於加幾久介己散之須世曾多千川天止奈二奴禰乃八比不部保末三牟女"
     u"毛也由与良利流礼呂和井慧乎爾夫賀藝具下碁邪士受是曾陀治豆傳杼婆毘夫倍煩婆毘夫倍煩"},
    {"kHira2Kata",
     u"ぁぃぅぇぉゃゅょっゎあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもや"
     u"ゆよらりるれろわをんがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽゑゐ",
     u"ァィゥェォャュョッヮアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤ"
     u"ユヨラリルレロワヲンガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポエイ"},
};

const ReplaceTable &kanaTable(const char *name)
{
    if (qstrcmp(name, "kKata2Hira") == 0)
        return katakanaToHiraganaTable();
    if (qstrcmp(name, "kKata2Kanji") == 0)
        return katakanaToKanjiTable();
    return hiraganaToKatakanaTable();
}

void (*kanaConversion(const char *name))(ReplaceEngine &, TextTarget &)
{
    if (qstrcmp(name, "kKata2Hira") == 0)
        return &convertKatakanaToHiragana;
    if (qstrcmp(name, "kKata2Kanji") == 0)
        return &convertKatakanaToKanji;
    return &convertHiraganaToKatakana;
}

// The drawing rows of the Man'yogana table, in table order, with their candidates.
const std::pair<const char16_t *, const char16_t *> kManyoganaRows[] = {
    {u"ぜ", u"是湍"},
    {u"あ", u"阿安足"},
    {u"る", u"留流類"},
    {u"わ", u"和丸輪"},
    {u"づ", u"豆頭弩"},
    {u"ゆ", u"由喩遊湯"},
    {u"ず", u"受授殊儒"},
    {u"だ", u"陀太大嚢"},
    {u"ば", u"伐婆磨魔"},
    {u"ぼ", u"煩菩番蕃"},
    {u"お", u"意憶於応游"},
    {u"う", u"宇羽有卯得"},
    {u"ゑ", u"廻恵面咲惠"},
    {u"い", u"伊夷以異移射"},
    {u"つ", u"都豆通追川津"},
    {u"れ", u"礼列例烈連禮"},
    {u"ね", u"禰尼泥年根宿"},
    {u"ら", u"良浪郎楽羅等"},
    {u"ぐ", u"具遇隅求愚虞"},
    {u"ぢ", u"遅治地恥尼泥"},
    {u"ゐ", u"位為謂井猪藍韋"},
    {u"ち", u"知智陳千乳血茅"},
    {u"ぬ", u"奴努怒農濃沼宿"},
    {u"む", u"牟武無模務謀六"},
    {u"り", u"里理利梨隣入煎"},
    {u"ざ", u"社射謝耶奢装蔵"},
    {u"ぞ", u"俗序叙賊存茹鋤"},
    {u"ぶ", u"夫扶府文柔歩部"},
    {u"べ", u"弁便別部倍毎戸辨"},
    {u"て", u"堤天帝底手代直弖"},
    {u"く", u"久九口丘苦鳩来君"},
    {u"た", u"太多他丹駄田手立"},
    {u"ふ", u"不否布負部敷経歴"},
    {u"か", u"可何加架香蚊迦閑訶"},
    {u"さ", u"左佐沙作者柴紗草散"},
    {u"せ", u"世西斉勢施背脊迫瀬"},
    {u"の", u"努怒野乃能笑荷弩笶"},
    {u"や", u"也移夜楊耶野八矢屋"},
    {u"が", u"奇宜我蛾何河賀俄餓"},
    {u"な", u"那男奈南寧難七名魚菜"},
    {u"ぎ", u"伎祇芸岐儀蟻疑宜義擬藝"},
    {u"で", u"代田泥庭伝殿而涅提弟傳"},
    {u"す", u"寸須周酒州洲珠数酢栖渚"},
    {u"ほ", u"凡方抱朋倍保宝富百帆穂本"},
    {u"げ", u"下牙雅夏義気宜礙削下偈皚"},
    {u"も", u"毛母文茂門問聞忘物裳喪藻"},
    {u"じ", u"自士仕司時尽慈耳餌児弐爾"},
    {u"ま", u"万末馬麻摩磨満前真間鬼萬"},
    {u"び", u"婢鼻弥備肥飛乾眉媚傍妣彌"},
    {u"ど", u"土度渡奴怒特藤騰等耐抒杼廼"},
    {u"を", u"乎呼遠鳥怨越少小尾麻男緒雄袁"},
    {u"め", u"売馬面女梅米迷昧目眼海謎妹綿賣"},
    {u"ろ", u"路漏呂侶里慮稜魯路露婁廬樓閭勒"},
    {u"に", u"二人日仁爾迩尼耳柔丹荷似煮煎尓邇"},
    {u"え", u"衣依愛荏叡榎延縁兄江枝柄埃曵睿裔"},
    {u"ご", u"吾呉胡娯後籠児悟誤其期碁語御馭凝虞五"},
    {u"は", u"八方芳房半伴倍泊波婆破薄播幡羽早者速葉"},
    {u"よ", u"用容欲夜与余四世代吉預庸慾豫已與譽餘遙"},
    {u"み", u"民彌美三水見視御未味尾微身実箕參寐實瀰眷"},
    {u"そ", u"宗祖素蘇十所則曾僧増憎衣背苑磯巷襲諸層贈賊"},
    {u"こ", u"古姑枯故侯孤児粉己巨去居忌許虚興渠庫胡顧高子小兒據籠"},
    {u"ひ", u"比必卑賓日氷飯火乾妃彼悲斐肥被避非飛樋負嬪檜祕臂譬辟"},
    {u"し", u"子之芝水四司詞斯志思信偲寺侍時歌詩師紫新旨指次此死事准磯為"},
    {u"け", u"祁家計係価結鶏気既毛飼異戒開階凱概骸希居啓稽消食笥價奚擧氣谿賈鷄"},
    {u"き", u"支伎岐企棄寸貴紀記奇寄忌幾木城基既機規騎妓祇吉杵樹服來竒枳歸氣綺耆"},
    {u"と", u"刀土斗度戸利速止等登澄得騰十鳥常跡外苔塗妬屠徒杜渡砥砺門圖聰臺覩迹"},
    {u"へ", u"平反返弁弊陛遍覇部辺重隔閉倍陪拝戸経綜俳杯畔蔽方幤敝霸沛珮瓮甕經罐邊閇"},
};

const char16_t kStage1Keys[] = u"ぁぃぅぇぉゃゅょっゎーんぱぴぷぺぽ";
const char16_t kStage1Values[] = u"あいうえおやゆよつわう无ばびぶべぼ";

QString convertWith(void (*conversion)(ReplaceEngine &, TextTarget &), const QString &text)
{
    ReplaceEngine engine;
    StringTarget target(text);
    conversion(engine, target);
    return target.text();
}

QString manyogana(const QString &text, quint64 seed = 1)
{
    ReplaceEngine engine;
    engine.setSeed(seed);
    StringTarget target(text);
    convertToManyogana(engine, target);
    return target.text();
}

QString candidatesOf(QChar kana)
{
    for (const auto &[k, candidates] : kManyoganaRows)
        if (QString::fromUtf16(k) == kana)
            return QString::fromUtf16(candidates);
    return {};
}

} // namespace

TEST(KanaTables, EveryRowInOrderCharacterForCharacter)
{
    for (const KanaTable &t : kKanaTables) {
        const QString keys = QString::fromUtf16(t.keys);
        const QString values = QString::fromUtf16(t.values);
        const ReplaceTable &table = kanaTable(t.name);
        ASSERT_EQ(table.size(), keys.size()) << t.name;
        for (qsizetype i = 0; i < table.size(); ++i) {
            EXPECT_FALSE(table[i].draw);
            EXPECT_EQ(table[i].search, QString(keys[i])) << t.name << " row " << i + 1;
            EXPECT_EQ(table[i].candidates, QStringList{QString(values[i])})
                << t.name << " row " << i + 1;
        }
        // And through the conversion itself, every key at once.
        EXPECT_EQ(convertWith(kanaConversion(t.name), keys), values) << t.name;
    }
    EXPECT_EQ(katakanaToHiraganaTable().size(), 86);
    EXPECT_EQ(katakanaToKanjiTable().size(), 86);
    EXPECT_EQ(hiraganaToKatakanaTable().size(), 83);
}

TEST(KanaConversions, WorkedExamples)
{
    struct Case
    {
        void (*conversion)(ReplaceEngine &, TextTarget &);
        const char16_t *in, *out;
    };
    const Case cases[] = {
        {&convertKatakanaToHiragana, u"パン", u"はん"},
        {&convertHiraganaToKatakana, u"はん", u"ハン"},
        {&convertKatakanaToHiragana, u"ヴィ", u"ぶぃ"},
        {&convertHiraganaToKatakana, u"ぶぃ", u"ブィ"},
        {&convertKatakanaToHiragana, u"ヵ", u"か"},
        {&convertHiraganaToKatakana, u"か", u"カ"},
        {&convertHiraganaToKatakana, u"がっこう", u"ガッコウ"},
        {&convertHiraganaToKatakana, u"ぶどう", u"ブドウ"},
        {&convertKatakanaToHiragana, u"コーヒー", u"こーひー"},
        {&convertKatakanaToKanji, u"コーヒー", u"己ー比ー"},
        {&convertKatakanaToHiragana, u"ｶﾀｶﾅ", u"ｶﾀｶﾅ"},
        {&convertKatakanaToKanji, u"ｶﾀｶﾅ", u"ｶﾀｶﾅ"},
        {&convertHiraganaToKatakana, u"ｶﾀｶﾅ", u"ｶﾀｶﾅ"},
        {&convertKatakanaToHiragana, u"はるカゼ、春。\nヽヾゝ", u"はるかぜ、春。\nヽヾゝ"},
        {&convertHiraganaToKatakana, u"はるカゼ、春。\nゝゞ", u"ハルカゼ、春。\nゝゞ"},
        {&convertHiraganaToKatakana, u"", u""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(convertWith(c.conversion, QString::fromUtf16(c.in)), QString::fromUtf16(c.out))
            << QString::fromUtf16(c.in).toStdString();
}

TEST(ManyoganaTable, EveryRowInOrderCharacterForCharacter)
{
    const ReplaceTable &table = manyoganaTable();
    const QString keys1 = QString::fromUtf16(kStage1Keys);
    const QString values1 = QString::fromUtf16(kStage1Values);
    ASSERT_EQ(table.size(), 17 + 67);
    for (qsizetype i = 0; i < 17; ++i) {
        EXPECT_FALSE(table[i].draw);
        EXPECT_EQ(table[i].search, QString(keys1[i])) << "stage 1 row " << i + 1;
        EXPECT_EQ(table[i].candidates, QStringList{QString(values1[i])}) << "stage 1 row " << i + 1;
    }
    int previousN = 0;
    for (qsizetype i = 0; i < 67; ++i) {
        const ReplaceRow &row = table[17 + i];
        EXPECT_TRUE(row.draw);
        EXPECT_EQ(row.search, QString::fromUtf16(kManyoganaRows[i].first)) << "row " << i + 1;
        EXPECT_EQ(row.candidates.join(QString()), QString::fromUtf16(kManyoganaRows[i].second))
            << "row " << i + 1;
        const int n = int(row.candidates.size());
        EXPECT_GE(n, previousN) << "rows are ordered by their number of candidates";
        EXPECT_TRUE(n <= 10 ? ReplaceEngine::isManReplaceAllCount(n)
                            : ReplaceEngine::isManReplaceAll2Count(n))
            << "row " << i + 1 << " has an unsupported count " << n;
        previousN = n;
    }
}

TEST(ManyoganaConversion, EachKanaDrawsEveryCandidateAndNothingElse)
{
    // 600 of each kana: with a fixed seed every candidate of every row turns up.
    for (const auto &[k, c] : kManyoganaRows) {
        const QString kana = QString::fromUtf16(k);
        const QString candidates = QString::fromUtf16(c);
        const QString out = manyogana(kana.repeated(600));
        ASSERT_EQ(out.size(), 600);
        QSet<QChar> seen(out.begin(), out.end());
        EXPECT_EQ(seen, QSet<QChar>(candidates.begin(), candidates.end())) << kana.toStdString();
    }
}

TEST(ManyoganaConversion, StageOneChainsIntoStageTwo)
{
    const QString keys1 = QString::fromUtf16(kStage1Keys);
    const QString values1 = QString::fromUtf16(kStage1Values);
    for (qsizetype i = 0; i < keys1.size(); ++i) {
        const QString out = manyogana(QString(keys1[i]).repeated(200), 3);
        const QString allowed =
            values1[i] == u'无' ? QStringLiteral("无") : candidatesOf(values1[i]);
        ASSERT_FALSE(allowed.isEmpty());
        for (QChar ch : out)
            EXPECT_TRUE(allowed.contains(ch))
                << QString(keys1[i]).toStdString() << " gave " << QString(ch).toStdString();
    }
}

TEST(ManyoganaConversion, WorkedExamples)
{
    for (quint64 seed = 1; seed <= 20; ++seed) {
        const QString a = manyogana(QStringLiteral("あ"), seed);
        EXPECT_TRUE(QStringLiteral("阿安足").contains(a)) << a.toStdString();
        const QString kya = manyogana(QStringLiteral("きゃ"), seed);
        ASSERT_EQ(kya.size(), 2);
        EXPECT_TRUE(candidatesOf(u'き').contains(kya[0]));
        EXPECT_TRUE(candidatesOf(u'や').contains(kya[1]));
        const QString pan = manyogana(QStringLiteral("ぱん"), seed);
        ASSERT_EQ(pan.size(), 2);
        EXPECT_TRUE(QStringLiteral("伐婆磨魔").contains(pan[0]));
        EXPECT_EQ(pan[1], u'无');
        for (const char16_t *bo : {u"ぼ", u"ぽ"})
            EXPECT_TRUE(
                QStringLiteral("煩菩番蕃").contains(manyogana(QString::fromUtf16(bo), seed)));
        const QString coffee = manyogana(QStringLiteral("コーヒー"), seed);
        ASSERT_EQ(coffee.size(), 4);
        EXPECT_EQ(coffee[0], u'コ');
        EXPECT_EQ(coffee[2], u'ヒ');
        EXPECT_TRUE(QStringLiteral("宇羽有卯得").contains(coffee[1]));
        EXPECT_TRUE(QStringLiteral("宇羽有卯得").contains(coffee[3]));
    }
    EXPECT_EQ(manyogana(QStringLiteral("パン")), QStringLiteral("パン"));
    EXPECT_EQ(manyogana(QStringLiteral("春、秋。ゝゞ")), QStringLiteral("春、秋。ゝゞ"));
}

TEST(ManyoganaConversion, NoHiraganaLeftAndTheCounts)
{
    QString all;
    for (char16_t c = u'ぁ'; c <= u'ん'; ++c)
        all += QChar(c);
    ReplaceEngine engine;
    StringTarget target(all + u'\n' + all + QStringLiteral("ー"));
    const ManyoganaResult result = convertToManyogana(engine, target);
    for (QChar c : target.text())
        EXPECT_FALSE((c >= u'ぁ' && c <= u'ん') || c == u'ー') << QString(c).toStdString();
    EXPECT_EQ(target.text().indexOf(u'\n'), all.size()) << "the line break stays";
    EXPECT_EQ(result.characters, 2 * all.size() + 1);
    EXPECT_EQ(engine.ManCandidateCount(), 35);
    EXPECT_EQ(target.batchCount(), 1) << "the whole conversion is one batch";

    StringTarget twoLines(QStringLiteral("あいうえお\nかきくけこさし"));
    EXPECT_EQ(convertToManyogana(engine, twoLines).characters, 12);
    StringTarget empty;
    EXPECT_EQ(convertToManyogana(engine, empty).characters, 0);
    EXPECT_EQ(lineCountText(12), QStringLiteral("12行"));
    EXPECT_EQ(characterCountText(12345), QStringLiteral("12345字"));
}

TEST(ParseReplaceTable, RejectsRowsThatDoNotFit)
{
    int bad = 0;
    EXPECT_TRUE(parseReplaceTable(u"# c\nあ\tア\r\n=\tい\tイ\n2\tう\t宇\t羽\n", &bad));
    const std::pair<const char16_t *, int> broken[] = {
        {u"あ\tア\n3\tう\t宇\t羽\n", 2}, // N is not its number of candidates
        {u"あ\n", 1},                    // no replacement
        {u"\tア\n", 1},                  // empty search
        {u"あ\tア\tイ\n", 1},            // three fields without a count
    };
    for (const auto &[data, line] : broken) {
        EXPECT_FALSE(parseReplaceTable(QString::fromUtf16(data), &bad));
        EXPECT_EQ(bad, line) << QString::fromUtf16(data).toStdString();
    }
}
