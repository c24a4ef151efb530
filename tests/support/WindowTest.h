#pragma once
// The fixture of the window tests: a real TMainForm1 over the scripted UiServices, its
// program (and so its settings file) in a temporary folder of its own.

#include "FakeUiServices.h"

#include "editor/RichEditSx.h"
#include "settings/IniFile.h"
#include "shell/Utamain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace testsupport {

struct WindowTest : ::testing::Test
{
    QTemporaryDir dir;
    FakeUiServices ui;
    std::unique_ptr<shell::TMainForm1> w;

    void SetUp() override
    {
        w = std::make_unique<shell::TMainForm1>(ui, dir.filePath(QStringLiteral("kotonami")));
    }
    void TearDown() override
    {
        // Nothing unsaved: the window closes without a question.
        if (w) {
            w->RichEditNx1()->setModified(false);
            w->RichEditNx2()->setModified(false);
        }
    }
    struct StoredValue
    {
        QStringView section, key;
        QString value;
    };
    // Starts the window anew from a settings file that holds these values, as a user's
    // stored settings would.
    void restartWith(std::initializer_list<StoredValue> stored)
    {
        if (w) {
            w->RichEditNx1()->setModified(false);
            w->RichEditNx2()->setModified(false);
            w->close();
            w.reset();
        }
        settings::IniFile ini(dir.filePath(QStringLiteral("kotonami.ini")));
        for (const StoredValue &v : stored)
            EXPECT_TRUE(ini.writeString(v.section, v.key, v.value));
        w = std::make_unique<shell::TMainForm1>(ui, dir.filePath(QStringLiteral("kotonami")));
    }
    void showActive()
    {
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QByteArray bytesOf(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace testsupport
