#include "device/transferstatusdlg.h"

#include "device/networkport.h"
#include "device/portrefusal.h"
#include "settings/prompt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

QString CTransferStatusDlg::Caption()
{
    return tr("Состояние");
}

QString CTransferStatusDlg::Text(const QString& portWord)
{
    if (CNetworkPort::IsNetworkWord(portWord))
        return tr("Идет передача данных через порт %1 ...").arg(portWord);
    return tr("Идет передача данных через последовательный порт ...");
}

QString CTransferStatusDlg::ResultText(CDeviceSender::Result result, const QString& portWord,
                                       QString (*message)(CDeviceSender::Result))
{
    if (result == CDeviceSender::Result::OpenFailed && CNetworkPort::IsNetworkWord(portWord))
        return tr("Не удается открыть порт %1.").arg(portWord);
    return message(result);
}

namespace
{

QPointer<CTransferStatusDlg>& ActiveWindow()
{
    static QPointer<CTransferStatusDlg> active;
    return active;
}

} // namespace

CTransferStatusDlg::CTransferStatusDlg(CDeviceSender& sender, QWidget* parent)
    : QDialog(parent), m_sender(sender)
{
    setWindowTitle(Caption());
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Text(sender.Config().portName), this);
    label->setObjectName(QStringLiteral("statusText"));
    layout->addWidget(label);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName(QStringLiteral("progress"));
    m_pProgress->setRange(0, 1000);
    m_pProgress->setValue(0);
    layout->addWidget(m_pProgress);
    auto* row = new QHBoxLayout;
    m_pTimeLeft = new QLabel(this);
    m_pTimeLeft->setObjectName(QStringLiteral("timeLeft"));
    row->addWidget(m_pTimeLeft, 1);
    m_pCancel = new QPushButton(tr("Отмена"), this);
    m_pCancel->setObjectName(QStringLiteral("cancelButton"));
    // An Enter or a Space meant for the window before this one must not abort the transfer:
    // only a click, Esc or closing the window cancels.
    m_pCancel->setAutoDefault(false);
    m_pCancel->setFocusPolicy(Qt::NoFocus);
    row->addWidget(m_pCancel);
    layout->addLayout(row);
    layout->setContentsMargins(24, 16, 24, 16);
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
    connect(m_pCancel, &QPushButton::clicked, &m_sender, &CDeviceSender::Cancel);
    connect(&m_sender, &CDeviceSender::progress, this, &CTransferStatusDlg::OnProgress);
    OnProgress(m_sender.BytesSent(), m_sender.BytesTotal(), m_sender.MsLeft());
}

CTransferStatusDlg::~CTransferStatusDlg() = default;

CDeviceSender::Result CTransferStatusDlg::Run(CDeviceSender& sender, QWidget* parent)
{
    if (!sender.IsRunning())
        return sender.GetResult();
    {
        CTransferStatusDlg window(sender, parent);
        window.setWindowModality(Qt::ApplicationModal);
        ActiveWindow() = &window; // a close of the main window meanwhile asks first
        // Until the window is up the program takes no input; windows still repaint.
        QEventLoop opening;
        connect(&sender, &CDeviceSender::opened, &opening, &QEventLoop::quit);
        connect(&sender, &CDeviceSender::finished, &opening, &QEventLoop::quit);
        QTimer::singleShot(kShowDelayMs, &opening, &QEventLoop::quit);
        if (!sender.HasOpened())
            opening.exec(QEventLoop::ExcludeUserInputEvents);
        QEventLoop loop;
        connect(&sender, &CDeviceSender::finished, &loop, &QEventLoop::quit);
        if (sender.IsRunning()) {
            window.show();
            loop.exec();
        }
        ActiveWindow() = nullptr;
    }
    // Still running: the loop was ended from outside (the desktop session is ending).
    return sender.IsRunning() ? sender.CancelAndWait() : sender.GetResult();
}

CDeviceSender::Result CTransferStatusDlg::RunAndReport(CDeviceSender& sender, QWidget* parent,
                                                       IPrompt& prompt,
                                                       QString (*message)(CDeviceSender::Result))
{
    // The window shows only while the bytes go out; the result comes after it is gone.
    const CDeviceSender::Result result = Run(sender, parent);
    const TransferOutcome& outcome = sender.Outcome();
    const QString text = ResultText(result, outcome.portWord, message);
    if (const QString details = outcome.Details(); !details.isEmpty())
        prompt.InformDetails(text, details);
    else
        CPortRefusal::Report(prompt, text, outcome);
    return result;
}

CTransferStatusDlg* CTransferStatusDlg::Active()
{
    return ActiveWindow();
}

void CTransferStatusDlg::reject()
{
    m_sender.Cancel();
}

void CTransferStatusDlg::OnProgress(qint64 sent, qint64 total, qint64 msLeft)
{
    m_pProgress->setValue(total > 0 ? int(sent * 1000 / total) : 0);
    m_pProgress->setFormat(tr("%1 из %2 байт").arg(sent).arg(total));
    m_pTimeLeft->setText(TimeLeftText(msLeft));
}

QString CTransferStatusDlg::TimeLeftText(qint64 ms)
{
    const qint64 seconds = (ms + 999) / 1000;
    if (seconds < 60)
        return tr("Осталось: %1 с").arg(seconds);
    return tr("Осталось: %1 мин %2 с").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
