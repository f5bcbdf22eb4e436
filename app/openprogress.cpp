#include "app/openprogress.h"

#include "editor/interactiveeditctrl.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressBar>
#include <QStatusBar>

QString COpenProgress::OpeningText(const QString& fileName)
{
    return QCoreApplication::translate("COpenProgress", "Открытие файла %1...").arg(fileName);
}

COpenProgress::COpenProgress(QStatusBar* bar, CInteractiveEditCtrl& edit, const QString& path)
    : m_pBar(bar)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QFileInfo file(path);
    if (!m_pBar || file.size() <= kBarAboveBytes)
        return;
    m_pBar->showMessage(OpeningText(file.fileName()));
    m_pProgress = new QProgressBar(m_pBar);
    m_pProgress->setObjectName(QStringLiteral("openProgress"));
    m_pProgress->setRange(0, 100);
    m_pProgress->setMaximumWidth(200);
    m_pBar->insertPermanentWidget(0, m_pProgress);
    m_pBar->repaint();
    QProgressBar* progress = m_pProgress;
    m_connection = QObject::connect(&edit, &CInteractiveEditCtrl::insertProgress, progress,
                                    [progress](int percent) {
                                        progress->setValue(percent);
                                        progress->repaint();
                                    });
}

COpenProgress::~COpenProgress()
{
    if (m_pProgress) {
        QObject::disconnect(m_connection);
        m_pBar->removeWidget(m_pProgress);
        delete m_pProgress;
        m_pBar->clearMessage();
    }
    QApplication::restoreOverrideCursor();
}
