#pragma once

// TClipboardWatcher: tells its owner whenever the desktop session's clipboard changes,
// whichever program changed it (the program's own copies included). It watches exactly
// while Enabled is true and an OnChange handler is set; it starts enabled.

#include <QMetaObject>
#include <QObject>

#include <functional>

namespace speech {

class TClipboardWatcher : public QObject
{
    Q_OBJECT

public:
    using ChangeHandler = std::function<void(QObject *sender)>;

    explicit TClipboardWatcher(QObject *parent = nullptr);
    ~TClipboardWatcher() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    void setOnChange(ChangeHandler handler);
    bool isWatching() const { return bool(m_connection); }

private:
    void update();
    void changed();

    bool m_enabled = true;
    ChangeHandler m_onChange;
    QMetaObject::Connection m_connection;
};

} // namespace speech
