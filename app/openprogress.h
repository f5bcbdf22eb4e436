#pragma once

#include <QMetaObject>
#include <QString>

class CInteractiveEditCtrl;
class QProgressBar;
class QStatusBar;

// Shows, for as long as it lives, that a file is being opened: a busy cursor, and for a long
// file the file's name in the status bar with a bar that follows the text going into the editor.
// Nothing is processed meanwhile; the bar and the message repaint themselves.
class COpenProgress
{
public:
    // Files above this size get the status bar's message and bar.
    static constexpr qint64 kBarAboveBytes = 100000;

    COpenProgress(QStatusBar* bar, CInteractiveEditCtrl& edit, const QString& path);
    ~COpenProgress();
    COpenProgress(const COpenProgress&) = delete;
    COpenProgress& operator=(const COpenProgress&) = delete;

    static QString OpeningText(const QString& fileName);

private:
    QStatusBar* m_pBar;
    QProgressBar* m_pProgress = nullptr;
    QMetaObject::Connection m_connection;
};
