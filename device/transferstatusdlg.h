#pragma once

#include "device/devicesender.h"

#include <QDialog>

class IPrompt;
class QLabel;
class QProgressBar;
class QPushButton;

// "Состояние": the window shown while frames go to the device, with the bytes that have left,
// the time left and "Отмена". While it is up no other window of the program takes input.
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

    void reject() override; // the close box and Esc stop the transfer, as "Отмена" does

    static QString Caption();
    static QString Text();

    QProgressBar* m_pProgress = nullptr;
    QLabel* m_pTimeLeft = nullptr;
    QPushButton* m_pCancel = nullptr;

private:
    void OnProgress(qint64 sent, qint64 total, qint64 msLeft);

    CDeviceSender& m_sender;
};
