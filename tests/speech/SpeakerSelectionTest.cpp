#include "FakeDirectSS.h"
#include "QtPrinters.h"

#include "speech/EspeakEngine.h"
#include "speech/SpeakerSelection.h"

#include <gtest/gtest.h>

#include <map>

using namespace speech;

namespace {

struct FakeSpeakerHost : SpeakerHost
{
    int noEngineReports = 0;
    std::map<int, bool> raised;
    std::map<int, text::ColorNumber> colors;
    std::map<int, bool> menuChecks;
    std::optional<InputMethodMode> inputMethod;

    void reportNoSpeechEngine() override { ++noEngineReports; }
    void setSpeakerButtonRaised(int s, bool r) override { raised[s] = r; }
    void setSpeakerButtonColor(int s, text::ColorNumber c) override { colors[s] = c; }
    void setSpeakerMenuChecked(int s, bool c) override { menuChecks[s] = c; }
    void setRightPaneInputMethod(InputMethodMode m) override { inputMethod = m; }

    int checkedSpeaker() const
    {
        int found = 0;
        for (const auto &[s, c] : menuChecks)
            found = c ? s : found;
        return found;
    }
};

class Speakers : public ::testing::Test
{
protected:
    void offer(QList<FakeDirectSS::Mode> modes) { engine.modes = std::move(modes); }

    FakeDirectSS engine;
    FakeSpeakerHost host;
    SpeakerSelection speakers{engine, host};
};

enum { Naoko = 1, Kenji, Mary, Mike, Carol, Peter };

TEST(IsUsableMode, NamesOfTheFivePrefixesOrLongNamesOfTheOneSuffix)
{
    const std::pair<const char *, bool> cases[] = {
        {"Mary", true},
        {"Mike in Stereo", true},
        {"Female Japanese", true},
        {"Male British", true},
        {"Robot", true},
        {"mary", false},
        {"Japanese Female", false},
        {"", false},
        {"Mar", false},
        {"Mary in a long name 1", false},        // 21 characters
        {"Mary in a long name", true},           // 19 characters
        {"Adult Female #1 British (L&H)", true}, // long, and ends in the suffix
        {"Female with a very long name", false},
    };
    for (const auto &[name, usable] : cases)
        EXPECT_EQ(IsUsableMode(QString::fromLatin1(name)), usable) << name;
}

TEST_F(Speakers, TheBackendsSixModesAreTheSixSpeakers)
{
    QList<FakeDirectSS::Mode> modes;
    for (const VoiceModeInfo &m : voiceModeTable())
        modes.append({QString::fromLatin1(m.modeName), QString::fromLatin1(m.speakerName)});
    offer(modes);
    ASSERT_TRUE(speakers.FLID());
    for (int s = Naoko; s <= Peter; ++s) {
        EXPECT_EQ(speakers.SpeakerMode(s), s);
        EXPECT_TRUE(host.raised[s]);
    }
    // Nothing stored: the first speaker found is chosen.
    EXPECT_EQ(speakers.fSpeechID(), Naoko);
    EXPECT_EQ(engine.selectedMode, 1);
    EXPECT_EQ(host.inputMethod, InputMethodMode::Hiragana);
    EXPECT_EQ(host.colors[Naoko], ChosenSpeakerColor);
    EXPECT_EQ(host.colors[Kenji], 11760461u);
    EXPECT_EQ(host.checkedSpeaker(), Naoko);
}

TEST_F(Speakers, OnlyEnglishVoicesChooseMaryAndCloseTheInputMethod)
{
    offer({{"Female British", "Carol"}, {"Mary", "Mary"}, {"Mike", "Mike"}});
    ASSERT_TRUE(speakers.FLID());
    EXPECT_EQ(speakers.fSpeechID(), Mary);
    EXPECT_EQ(engine.selectedMode, 2);
    EXPECT_EQ(host.inputMethod, InputMethodMode::Closed);
    EXPECT_FALSE(host.raised[Naoko]);
    EXPECT_EQ(host.colors[Mary], ChosenSpeakerColor);
    EXPECT_EQ(host.colors[Carol], 5535392u);
}

TEST_F(Speakers, MatchingFollowsTheModeNameRules)
{
    offer({{"Mary's very long voice", "Mary"},            // 22 characters: skipped
           {"Japanese Naoko", "Naoko"},                   // unusable name: not Naoko
           {"Adult Female British voice (L&H)", "Carol"}, // long with the suffix: Carol
           {"Male British", "Peter"},
           {"Male British", "Peter"}}); // a later mode replaces an earlier one
    ASSERT_TRUE(speakers.FLID());
    EXPECT_EQ(speakers.SpeakerMode(Mary), 0);
    EXPECT_EQ(speakers.SpeakerMode(Naoko), 0);
    EXPECT_EQ(speakers.SpeakerMode(Carol), 3);
    EXPECT_EQ(speakers.SpeakerMode(Peter), 5);
    EXPECT_EQ(speakers.fSpeechID(), Carol);
}

TEST_F(Speakers, ChoosingAMissingSpeakerChangesNothing)
{
    offer({{"Mary", "Mary"}});
    speakers.FLID();
    engine.calls.clear();
    const auto colors = host.colors;
    const auto checks = host.menuChecks;
    speakers.chooseSpeaker(Kenji);
    speakers.chooseSpeaker(0);
    speakers.chooseSpeaker(9);
    EXPECT_TRUE(engine.calls.isEmpty());
    EXPECT_EQ(host.colors, colors);
    EXPECT_EQ(host.menuChecks, checks);
    EXPECT_EQ(speakers.chosenSpeaker(), Mary);
}

TEST_F(Speakers, LanguageSetReappliesTheStoredSpeakerNotTheOneChosenSince)
{
    offer({{"Female Japanese", "Naoko"}, {"Mary", "Mary"}});
    speakers.setFSpeechID(Naoko);
    speakers.FLID();
    speakers.chooseSpeaker(Mary);
    EXPECT_EQ(engine.selectedMode, 2);
    EXPECT_EQ(host.checkedSpeaker(), Mary);
    EXPECT_EQ(speakers.fSpeechID(), Naoko);

    speakers.FLID();
    EXPECT_EQ(engine.selectedMode, 1);
    EXPECT_EQ(host.checkedSpeaker(), Naoko);
    EXPECT_EQ(host.colors[Mary], 5535392u);
    // Shut-down keeps the speaker shown as chosen.
    speakers.chooseSpeaker(Mary);
    EXPECT_EQ(speakers.determineSpeechID(), Mary);
}

TEST_F(Speakers, NoModesReportsNoEngineAndLeavesTheButtonsAlone)
{
    speakers.setFSpeechID(Kenji);
    EXPECT_FALSE(speakers.FLID());
    EXPECT_FALSE(speakers.EngineReady());
    EXPECT_EQ(host.noEngineReports, 1);
    EXPECT_TRUE(host.colors.empty());
    EXPECT_TRUE(host.raised.empty());
    EXPECT_EQ(speakers.fSpeechID(), Kenji);
    EXPECT_EQ(speakers.determineSpeechID(), 0);
}

TEST_F(Speakers, AStoredSpeakerNoLongerInstalledSelectsNothingAndIsDroppedAtShutDown)
{
    offer({{"Mike", "Mike"}});
    speakers.setFSpeechID(Kenji);
    ASSERT_TRUE(speakers.FLID());
    EXPECT_EQ(engine.selectedMode, 0);
    EXPECT_FALSE(host.inputMethod);
    EXPECT_EQ(speakers.fSpeechID(), Kenji);
    EXPECT_EQ(speakers.determineSpeechID(), 0);
}

TEST(SpeakerNumber, NamesInAnyCase)
{
    EXPECT_EQ(speakerNumber(QStringLiteral("Naoko")), 1);
    EXPECT_EQ(speakerNumber(QStringLiteral("peter")), 6);
    EXPECT_EQ(speakerNumber(QStringLiteral("Robo")), 0);
}

} // namespace
