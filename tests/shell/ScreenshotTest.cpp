#include "FakeUiServices.h"

#include "shell/RichEditSx.h"
#include "shell/Utamain.h"
#include "widgets/TabButton.h"

#include <QLineEdit>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace shell;

// Pictures of the window for people to look at (kept when KOTONAMI_ARTIFACTS names a
// folder): a waka with punctuation, brackets, a long-vowel mark, small kana, a Latin word
// and digits, in vertical writing with word wrap on and off.
TEST(Screenshots, VerticalWritingWithAndWithoutWrap)
{
    const QString folder = qEnvironmentVariable("KOTONAMI_ARTIFACTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "KOTONAMI_ARTIFACTS not set";
    QDir().mkpath(folder);
    QTemporaryDir dir;
    testsupport::FakeUiServices ui;
    TMainForm1 w(ui, dir.filePath(QStringLiteral("kotonami")));
    w.resize(780, 550);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.run(QStringLiteral("ShineSpeedButton2Click"));
    w.RichEditNx1()->setText(
        QStringLiteral("春過ぎて夏来にけらし、白妙の衣ほすてふ天の香具山。\n"
                       "「ちはやぶる」神代もきかず竜田川――からくれなゐに水くくるとは\n"
                       "コーヒーとショコラ、ぁぃぅぇぉっゃゅょ。\n"
                       "Kotonami 2026 年 12 月（冬）\n"
                       "あしびきの山鳥の尾のしだり尾のながながし夜をひとりかも寝む"));
    w.RichEditNx2()->setText(QStringLiteral("はるすぎて\nなつきにけらし"));
    w.edit(QStringLiteral("Edit2"))->setText(QStringLiteral("の"));
    w.run(QStringLiteral("N24Click"));   // colour every の of the right pane
    w.run(QStringLiteral("Grip3Click")); // fold the left-pane bar, show the Color String bar
    QTest::mouseClick(w.tab(TMainForm1::ColorBar), Qt::LeftButton);
    w.RichEditNx1()->setSelection(2, 3);
    QApplication::processEvents();
    EXPECT_TRUE(w.grab().save(folder + QStringLiteral("/vertical-wrap.png")));
    w.run(QStringLiteral("WordWrapClick"));
    QApplication::processEvents();
    EXPECT_TRUE(w.grab().save(folder + QStringLiteral("/vertical-nowrap.png")));
    w.run(QStringLiteral("VHClick"));
    QApplication::processEvents();
    EXPECT_TRUE(w.grab().save(folder + QStringLiteral("/horizontal.png")));
    w.RichEditNx1()->setModified(false);
    w.RichEditNx2()->setModified(false);
}
