#pragma once
// Headless Chromium for checks that compare with a browser: runs it on a local page with a
// fresh profile and returns what it writes to standard output (--dump-dom, for instance).

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTextStream>
#include <QUrl>

#include <optional>

namespace testsupport {

inline QTextStream &checkOut()
{
    static QTextStream s(stdout);
    return s;
}

inline bool checkFails(const QString &why)
{
    checkOut() << "FAIL: " << why << Qt::endl;
    return false;
}

inline std::optional<QByteArray> runChromium(const QString &chromium, const QString &page,
                                             const QStringList &extra, const QString &profileRoot)
{
    static int run = 0;
    const QString profile = profileRoot + QStringLiteral("/profile%1").arg(++run);
    QDir().mkpath(profile);
    QStringList args{"--headless",
                     "--no-sandbox",
                     "--disable-gpu",
                     "--disable-quic",
                     "--no-first-run",
                     "--disable-background-networking",
                     "--disable-component-update",
                     "--disable-sync",
                     "--user-data-dir=" + profile};
    args += extra;
    args << QUrl::fromLocalFile(page).toString();
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(chromium, args);
    if (!p.waitForFinished(90000)) {
        p.kill();
        p.waitForFinished();
        checkFails(QStringLiteral("chromium did not finish: ") + args.join(u' '));
        return std::nullopt;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        checkFails(QStringLiteral("chromium exited with %1: %2")
                       .arg(p.exitCode())
                       .arg(QString::fromUtf8(p.readAllStandardError().right(2000))));
        return std::nullopt;
    }
    return p.readAllStandardOutput();
}

} // namespace testsupport
