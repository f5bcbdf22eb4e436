#include "app/codispalsh.h"

#include "app/appresources.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QTimerEvent>

CoDiSpalsh::CoDiSpalsh(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    InitAppResources();
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("splashPicture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/splash.png")));
    picture->setGeometry(0, 0, kWidth, kHeight);
    setFixedSize(kWidth, kHeight);
}

CoDiSpalsh::~CoDiSpalsh()
{
    StopTimer();
}

// The timer starts when the picture is on screen, so the operator sees it for the whole time.
void CoDiSpalsh::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_nTimerID == 0)
        m_nTimerID = startTimer(kTimeout, Qt::PreciseTimer);
}

void CoDiSpalsh::timerEvent(QTimerEvent* event)
{
    QDialog::timerEvent(event);
    if (event->timerId() != m_nTimerID)
        return;
    StopTimer();
    reject();
}

void CoDiSpalsh::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        StopTimer();
        reject();
        break;
    default:
        event->ignore();
        break;
    }
}

void CoDiSpalsh::StopTimer()
{
    if (m_nTimerID != 0) {
        killTimer(m_nTimerID);
        m_nTimerID = 0;
    }
}
