#include "shell/Unit3.h"

#include "shell/FontNames.h"
#include "widgets/SplashLabel.h"

namespace shell {

TForm3::TForm3(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_label(new widgets::SplashLabel(QStringLiteral("Now Loading..."), this))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Loading..."));
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(221, 223, 232));
    setPalette(pal);
    setAutoFillBackground(true);
    m_label->setFont(programFont(QStringLiteral("Times New Roman"), 33));
    m_label->setTextColor(QColor(86, 101, 133));
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(300);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TForm3::closeAndFree);
}

void TForm3::placeOver(const QRect &g)
{
    setGeometry(g.left(), g.top() + 37, g.width(), qMax(1, g.height() - 37));
}

void TForm3::resizeEvent(QResizeEvent *)
{
    // The label's corner stands 116 pixels left of and 41 pixels above the centre.
    const QPoint corner = rect().center() - QPoint(116, 41);
    m_label->setGeometry(QRect(corner, m_label->sizeHint()));
}

void TForm3::mousePressEvent(QMouseEvent *)
{
    closeAndFree();
}

void TForm3::closeAndFree()
{
    m_timer.stop();
    close(); // WA_DeleteOnClose frees it
}

} // namespace shell
