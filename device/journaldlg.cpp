#include "device/journaldlg.h"

#include "device/transferjournal.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

CJournalDlg::CJournalDlg(const QString& path, QWidget* parent) : QDialog(parent), m_path(path)
{
    setWindowTitle(tr("Журнал передач"));
    m_pTable = new QTableWidget(0, 6, this);
    m_pTable->setObjectName(QStringLiteral("journalTable"));
    m_pTable->setAccessibleName(tr("Журнал передач"));
    m_pTable->setHorizontalHeaderLabels(
        {tr("Время"), tr("Табло"), tr("Порт"), tr("Байт"), tr("Итог"), tr("Причина")});
    m_pTable->verticalHeader()->hide();
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setWordWrap(false);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    auto* file = new QLabel(tr("Файл: %1").arg(QDir::toNativeSeparators(m_path)), this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Закрыть"));
    QPushButton* reload = buttons->addButton(tr("&Обновить"), QDialogButtonBox::ActionRole);
    reload->setObjectName(QStringLiteral("reloadButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable, 1);
    layout->addWidget(file);
    layout->addWidget(buttons);
    resize(900, 440);
    connect(reload, &QPushButton::clicked, this, &CJournalDlg::Reload);
    connect(buttons, &QDialogButtonBox::rejected, this, &CJournalDlg::reject);
    Reload();
}

// The file's words in the language of the run; a failed transfer in red with an error icon,
// and said so to a screen reader, which sees no colour.
void CJournalDlg::Reload()
{
    enum { Bytes = 3, Result = 4 };
    static const QRegularExpression count(QStringLiteral("^(\\d+)/(\\d+)$"));
    const QStringList lines = CTransferJournal(m_path).Text().split(u'\n', Qt::SkipEmptyParts);
    const QIcon failedIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    m_pTable->setRowCount(int(lines.size()));
    for (int row = 0; row < lines.size(); ++row) {
        QStringList fields = lines[row].split(u'\t');
        const bool failed = CTransferJournal::IsFailure(fields.value(Result));
        if (const QRegularExpressionMatch match = count.match(fields.value(Bytes));
            match.hasMatch())
            fields[Bytes] = tr("%1 из %2").arg(match.captured(1), match.captured(2));
        if (fields.size() > Result)
            fields[Result] = CTransferJournal::WordText(fields[Result]);
        for (int column = 0; column < m_pTable->columnCount(); ++column) {
            auto* item = new QTableWidgetItem(fields.value(column));
            item->setToolTip(fields.value(column));
            if (failed) {
                item->setForeground(QColor(0xB0, 0x00, 0x00));
                item->setData(Qt::AccessibleDescriptionRole, tr("Передача не удалась"));
            }
            if (failed && column == Result) {
                item->setIcon(failedIcon);
                item->setData(Qt::AccessibleTextRole, tr("Ошибка: %1").arg(fields.value(column)));
            }
            m_pTable->setItem(row, column, item);
        }
    }
    m_pTable->resizeColumnsToContents();
    m_pTable->scrollToBottom();
    if (!lines.isEmpty())
        m_pTable->setCurrentCell(int(lines.size()) - 1, 0);
}
