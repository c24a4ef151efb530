#include "shell/DROPDST.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace shell {

namespace {
QStringList localFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}
} // namespace

TDropDst::TDropDst(QObject *parent, const QList<QWidget *> &targets) : QObject(parent)
{
    for (QWidget *w : targets) {
        w->setAcceptDrops(true);
        w->installEventFilter(this);
    }
}

bool TDropDst::eventFilter(QObject *watched, QEvent *e)
{
    switch (e->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *d = static_cast<QDropEvent *>(e);
        if (!m_accept || localFiles(d->mimeData()).isEmpty())
            return false; // text drags go on to the view
        d->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *d = static_cast<QDropEvent *>(e);
        const QStringList files = localFiles(d->mimeData());
        if (!m_accept || files.isEmpty())
            return false;
        d->acceptProposedAction();
        if (OnFileDrop)
            OnFileDrop(files, d->position().toPoint());
        return true;
    }
    default:
        return QObject::eventFilter(watched, e);
    }
}

} // namespace shell
