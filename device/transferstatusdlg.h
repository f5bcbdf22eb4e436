#pragma once

#include "device/devicesender.h"

#include <QDialog>

class IPrompt;
class QLabel;
class QProgressBar;
class QPushButton;

// "Состояние": the window shown while frames go to the device, with the bytes that have left,
// the time left and "Отмена". While it is up no other window of the program takes input. It
// comes up once the port is open, or kShowDelayMs into a port that is slow to open (a server
// that does not answer), so a port that will not open shows its message alone.
class CTransferStatusDlg : public QDialog
{
    Q_OBJECT
public:
    CTransferStatusDlg(CDeviceSender& sender, QWidget* parent = nullptr);
    ~CTransferStatusDlg() override;

    // Shows the window over a job the sender has started and returns once the job has ended
    // and the window is gone; the event loop runs meanwhile.
    static CDeviceSender::Result Run(CDeviceSender& sender, QWidget* parent);
    // Run, then the operator is told how the job ended, by `message`; a port that would not open
    // gives its reason as the box's details. The one ending of every transfer from a window.
    static CDeviceSender::Result RunAndReport(CDeviceSender& sender, QWidget* parent,
                                              IPrompt& prompt,
                                              QString (*message)(CDeviceSender::Result));
    // The window of the job now running, if any (the main window asks before it closes).
    static CTransferStatusDlg* Active();
    static QString TimeLeftText(qint64 ms);

    static constexpr int kShowDelayMs = 500;

    void reject() override; // the close box and Esc stop the transfer, as "Отмена" does

    static QString Caption();
    // What goes on, through the port the word names: a server's port is named, since it is no
    // serial port of this computer.
    static QString Text(const QString& portWord = QString());
    // The message of how the job ended: `message`'s, but a server's port that would not open is
    // named.
    static QString ResultText(CDeviceSender::Result result, const QString& portWord,
                              QString (*message)(CDeviceSender::Result));

    QProgressBar* m_pProgress = nullptr;
    QLabel* m_pTimeLeft = nullptr;
    QPushButton* m_pCancel = nullptr;

private:
    void OnProgress(qint64 sent, qint64 total, qint64 msLeft);

    CDeviceSender& m_sender;
};
