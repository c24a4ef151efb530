#pragma once
// TForm3: the "Loading..." splash shown while a file named on the command line is read.
// It covers the main window below its top 37 pixels and closes itself on the first tick
// of its 300 ms timer (started once the file is in) or on a click.

#include <QTimer>
#include <QWidget>

namespace widgets {
class SplashLabel;
}

namespace shell {

class TForm3 final : public QWidget
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *mainWindow);

    // Covers the main window's area below its top 37 pixels.
    void placeOver(const QRect &mainWindowGeometry);
    void startTimer300() { m_timer.start(); }
    QTimer &timer() { return m_timer; }
    widgets::SplashLabel *label() const { return m_label; }

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void closeAndFree();

    QTimer m_timer;
    widgets::SplashLabel *m_label;
};

} // namespace shell
