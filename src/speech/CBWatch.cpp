#include "speech/CBWatch.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtDebug>

#include <exception>

namespace speech {

TClipboardWatcher::TClipboardWatcher(QObject *parent) : QObject(parent) {}

TClipboardWatcher::~TClipboardWatcher()
{
    setEnabled(false);
}

void TClipboardWatcher::setEnabled(bool enabled)
{
    m_enabled = enabled;
    update();
}

void TClipboardWatcher::setOnChange(ChangeHandler handler)
{
    m_onChange = std::move(handler);
    update();
}

void TClipboardWatcher::update()
{
    const bool watch = m_enabled && m_onChange && QGuiApplication::clipboard();
    if (watch == bool(m_connection))
        return;
    if (watch)
        m_connection = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                               &TClipboardWatcher::changed);
    else
        disconnect(m_connection);
}

void TClipboardWatcher::changed()
{
    // A fault in the handler is reported and goes no further than this notice.
    try {
        if (m_onChange)
            m_onChange(this);
    } catch (const std::exception &e) {
        qWarning("clipboard change: %s", e.what());
    }
}

} // namespace speech
