#include "device/multitransferdlg.h"

#include "device/multisender.h"
#include "device/portrefusal.h"
#include "device/transferstatusdlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

QPointer<CMultiTransferDlg>& ActiveWindow()
{
    static QPointer<CMultiTransferDlg> active;
    return active;
}

} // namespace

CMultiTransferDlg::CMultiTransferDlg(CMultiSender& multi, MessageOf message, QString summary,
                                     QWidget* parent)
    : QDialog(parent), m_multi(multi), m_message(message), m_summary(std::move(summary))
{
    setWindowTitle(tr("Передача на несколько табло"));
    m_pTable = new QTableWidget(m_multi.Count(), ColumnCount, this);
    m_pTable->setObjectName(QStringLiteral("displayTable"));
    m_pTable->setHorizontalHeaderLabels(
        {tr("Табло"), tr("Порт"), tr("Ход передачи"), tr("Байт"), tr("Итог")});
    m_pTable->setAccessibleName(tr("Табло и ход передачи"));
    m_pTable->verticalHeader()->hide();
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_pTable->setFocusPolicy(Qt::NoFocus);
    QHeaderView* header = m_pTable->horizontalHeader();
    header->setSectionResizeMode(Bar, QHeaderView::Fixed);
    header->setSectionResizeMode(Result, QHeaderView::Interactive);
    header->setStretchLastSection(true);
    for (int row = 0; row < m_multi.Count(); ++row) {
        const DisplayEntry& display = m_multi.Display(row);
        SetCell(row, Name, display.name);
        SetCell(row, Port, display.config.portName);
        auto* bar = new QProgressBar(m_pTable);
        bar->setRange(0, 1000);
        bar->setValue(0);
        bar->setTextVisible(false);
        m_pTable->setCellWidget(row, Bar, bar);
        SetCell(row, Bytes, QString());
        SetCell(row, Result, tr("ожидает"));
    }
    // The widths are fixed up front, so the columns do not jump as the counts grow.
    m_pTable->resizeColumnsToContents();
    m_pTable->setColumnWidth(Bar, 160);
    m_pTable->setColumnWidth(
        Bytes, std::max(m_pTable->columnWidth(Bytes), m_pTable->fontMetrics().horizontalAdvance(
                                                          tr("%1 из %2").arg(99999).arg(99999)) +
                                                          16));
    // Room for the longest result on one line, so rows do not change height as displays end.
    const int resultWidth =
        m_pTable->fontMetrics().horizontalAdvance(m_message(CDeviceSender::Result::Ok)) + 32;
    m_pTable->setColumnWidth(Result, resultWidth);
    int tableWidth = 2 * m_pTable->frameWidth() + resultWidth;
    for (int column = 0; column < Result; ++column)
        tableWidth += m_pTable->columnWidth(column);
    m_pTable->setWordWrap(false);

    m_pSummary =
        new QLabel(tr("Идет передача данных на %n табло ...", nullptr, m_multi.Count()), this);
    m_pSummary->setObjectName(QStringLiteral("summary"));
    m_pFailures = new QPlainTextEdit(this);
    m_pFailures->setObjectName(QStringLiteral("failures"));
    m_pFailures->setAccessibleName(tr("Причины неудач"));
    m_pFailures->setReadOnly(true);
    m_pFailures->setMaximumHeight(110);
    m_pFailures->hide();
    m_pButton = new QPushButton(tr("Отмена"), this);
    m_pButton->setObjectName(QStringLiteral("cancelButton"));
    // As in the window of one transfer: only a click, Esc or the close box stops the send.
    m_pButton->setAutoDefault(false);
    m_pButton->setFocusPolicy(Qt::NoFocus);

    auto* row = new QHBoxLayout;
    row->addWidget(m_pSummary, 1);
    row->addWidget(m_pButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable, 1);
    layout->addWidget(m_pFailures);
    layout->addLayout(row);
    // Every row in view without scrolling, up to a screenful.
    QHeaderView* rows = m_pTable->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_pTable->fontMetrics().height() + 14);
    m_pTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * m_pTable->frameWidth();
    m_pTable->setMinimumHeight(std::min(
        header->sizeHint().height() + frame + m_multi.Count() * rows->defaultSectionSize(), 480));
    m_pTable->setMinimumWidth(tableWidth);
    resize(sizeHint());

    connect(m_pButton, &QPushButton::clicked, this, &CMultiTransferDlg::reject);
    connect(&m_multi, &CMultiSender::progress, this, &CMultiTransferDlg::OnProgress);
    connect(&m_multi, &CMultiSender::displayFinished, this, &CMultiTransferDlg::OnDisplayFinished);
    connect(&m_multi, &CMultiSender::finished, this, &CMultiTransferDlg::OnFinished);
}

CMultiTransferDlg::~CMultiTransferDlg() = default;

int CMultiTransferDlg::RunAndReport(const QList<DisplayEntry>& displays,
                                    const QList<CDeviceSender::Frame>& frames, QWidget* parent,
                                    MessageOf message, const QString& summary,
                                    std::function<void(int ms)> wait)
{
    CMultiSender multi;
    if (wait)
        multi.SetWaitFunction(std::move(wait));
    if (!multi.Start(displays, frames, message))
        return 0;
    {
        CMultiTransferDlg window(multi, message, summary, parent);
        window.setWindowModality(Qt::ApplicationModal);
        ActiveWindow() = &window;
        window.exec();
        ActiveWindow() = nullptr;
    }
    // Still running: the window's loop was ended from outside (the desktop session is ending).
    multi.Cancel();
    multi.WaitForAll();
    return multi.OkCount();
}

CMultiTransferDlg* CMultiTransferDlg::Active()
{
    return ActiveWindow();
}

void CMultiTransferDlg::reject()
{
    if (m_bDone)
        QDialog::reject();
    else
        m_multi.Cancel();
}

void CMultiTransferDlg::SetCell(int row, int column, const QString& text)
{
    auto* item = m_pTable->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        m_pTable->setItem(row, column, item);
    }
    item->setText(text);
}

void CMultiTransferDlg::OnProgress(int index, qint64 sent, qint64 total, qint64 msLeft)
{
    if (m_multi.IsDone(index))
        return;
    if (auto* bar = qobject_cast<QProgressBar*>(m_pTable->cellWidget(index, Bar)))
        bar->setValue(total > 0 ? int(sent * 1000 / total) : 0);
    SetCell(index, Bytes, tr("%1 из %2").arg(sent).arg(total));
    SetCell(index, Result, CTransferStatusDlg::TimeLeftText(msLeft));
}

void CMultiTransferDlg::OnDisplayFinished(int index, CDeviceSender::Result result)
{
    const TransferOutcome& outcome = m_multi.Outcome(index);
    if (auto* bar = qobject_cast<QProgressBar*>(m_pTable->cellWidget(index, Bar))) {
        if (result == CDeviceSender::Result::Ok)
            bar->setValue(bar->maximum());
    }
    SetCell(index, Bytes, tr("%1 из %2").arg(outcome.sent).arg(outcome.total));
    const QString text =
        CTransferStatusDlg::ResultText(result, m_multi.Display(index).config.portName, m_message);
    SetCell(index, Result, text);
    if (result == CDeviceSender::Result::Ok) {
        m_pTable->item(index, Result)->setToolTip(outcome.Details());
        return;
    }
    m_pTable->item(index, Result)->setForeground(QColor(0xB0, 0x00, 0x00));
    QString reason;
    if (result == CDeviceSender::Result::OpenFailed)
        reason = CPortRefusal::Details(outcome.refusal, outcome.display).simplified();
    else if (!outcome.Details().isEmpty())
        reason = outcome.Details();
    else if (result == CDeviceSender::Result::WriteFailed)
        reason = tr("До линии дошло %1 из %2 байт: табло отключено или не принимает данные.")
                     .arg(outcome.sent)
                     .arg(outcome.total);
    m_pTable->item(index, Result)->setToolTip(reason);
    const DisplayEntry& display = m_multi.Display(index);
    m_pFailures->appendPlainText(QStringLiteral("%1 (%2): %3 %4")
                                     .arg(display.name, display.config.portName, text, reason)
                                     .trimmed());
    if (m_pFailures->isHidden()) {
        m_pFailures->show();
        resize(width(), std::max(height(), sizeHint().height())); // the table keeps its rows
    }
}

void CMultiTransferDlg::OnFinished()
{
    m_bDone = true;
    m_pSummary->setText(m_summary.arg(m_multi.OkCount()).arg(m_multi.Count()));
    m_pButton->setText(tr("Закрыть"));
    m_pButton->setFocusPolicy(Qt::StrongFocus);
    m_pButton->setDefault(true);
    m_pButton->setFocus();
}
