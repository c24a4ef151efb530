#pragma once
// A pane shown in vertical writing with a 20-pixel font, its vertical view focused: the
// fixture of the tests that work through the view.

#include "editor/RichEditSx.h"
#include "editor/VerticalTextView.h"

#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace testsupport {

struct VerticalPaneTest : ::testing::Test
{
    editor::TRichEditSx pane;
    editor::VerticalTextView *view = nullptr;

    void SetUp() override
    {
        QFont f(QStringLiteral("ＭＳ 明朝"));
        f.setPixelSize(20);
        pane.setPaneFont(f);
        pane.resize(400, 300);
        pane.setVertical(true);
        pane.show();
        pane.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
        view = pane.verticalView();
        view->setFocus();
        ASSERT_EQ(pane.activeView(), view);
    }
    int caret() const { return pane.textCursor().position(); }
};

} // namespace testsupport
