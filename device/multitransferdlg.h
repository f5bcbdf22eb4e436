#pragma once

#include "device/devicesender.h"
#include "device/displaylist.h"

#include <QDialog>

class CMultiSender;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// The window of one send to several displays: a row per display (name, port, bar, bytes, time
// left, then its result), one "Отмена" that stops them all, and at the end the summary with the
// reason of every failure, kept until the operator closes it.
class CMultiTransferDlg : public QDialog
{
    Q_OBJECT
public:
    using MessageOf = QString (*)(CDeviceSender::Result);

    // summary: "… %1 из %2 табло." with the displays that got everything and all of them.
    CMultiTransferDlg(CMultiSender& multi, MessageOf message, QString summary,
                      QWidget* parent = nullptr);
    ~CMultiTransferDlg() override;

    // Sends the frames to the displays and shows the window until the operator closes it after
    // the end; every display's end goes to the journal. Returns how many got every byte. The
    // one ending of every send to several displays from a window.
    static int RunAndReport(const QList<DisplayEntry>& displays,
                            const QList<CDeviceSender::Frame>& frames, QWidget* parent,
                            MessageOf message, const QString& summary,
                            std::function<void(int ms)> wait = {});
    // The window of the send now running, if any (the main window asks before it closes).
    static CMultiTransferDlg* Active();

    void reject() override; // while it runs: stops all; afterwards: closes

    QTableWidget* m_pTable = nullptr;
    QLabel* m_pSummary = nullptr;
    QPlainTextEdit* m_pFailures = nullptr;
    QPushButton* m_pButton = nullptr;

private:
    enum Column { Name, Port, Bar, Bytes, Result, ColumnCount };
    void OnProgress(int index, qint64 sent, qint64 total, qint64 msLeft);
    void OnDisplayFinished(int index, CDeviceSender::Result result);
    void OnFinished();
    void SetCell(int row, int column, const QString& text);

    CMultiSender& m_multi;
    MessageOf m_message;
    QString m_summary;
    bool m_bDone = false;
};
