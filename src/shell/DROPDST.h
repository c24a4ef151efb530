#pragma once
// TDropDst: makes a control accept files dropped from the desktop (file URLs). While
// AcceptDrop is on, a drop collects every dropped local path in order and calls
// OnFileDrop with them and the drop point.

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <functional>

class QWidget;

namespace shell {

class TDropDst final : public QObject
{
    Q_OBJECT
public:
    // Watches the given widgets (a pane's views) for drops.
    TDropDst(QObject *parent, const QList<QWidget *> &targets);

    bool AcceptDrop() const { return m_accept; }
    void setAcceptDrop(bool accept) { m_accept = accept; }
    std::function<void(const QStringList &files, const QPoint &point)> OnFileDrop;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    bool m_accept = true;
};

} // namespace shell
