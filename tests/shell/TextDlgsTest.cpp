// The open dialog's preview: the head of the file as it would open.
#include "shell/TextDlgs.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace shell;

TEST(TextOpenDialog, PreviewShowsTheFileHeadAsItWouldOpen)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("poem.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x8f\x74\x82\xcc\x96\xe9") + QByteArray(2000, 'x')); // 春の夜 + 2000 x
    f.close();
    TTextOpenDialog d;
    d.setDirectory(dir.path());
    Q_EMIT d.currentChanged(path);
    EXPECT_TRUE(d.previewText().startsWith(QStringLiteral("春の夜")));
    EXPECT_EQ(d.previewText().size(), 3 + 1024 - 6) << "the first 1024 bytes";
    Q_EMIT d.currentChanged(dir.filePath(QStringLiteral("*.txt")));
    EXPECT_TRUE(d.previewText().isEmpty());
    d.setPreview(false);
    Q_EMIT d.currentChanged(path);
    EXPECT_TRUE(d.previewText().isEmpty());
    EXPECT_EQ(TTextOpenDialog::typeExtension(QStringLiteral("*.HTML;*.HTM")),
              QStringLiteral(".HTML"));
    EXPECT_EQ(TTextOpenDialog::typeExtension(QStringLiteral("*.txt")), QStringLiteral(".txt"));
}
