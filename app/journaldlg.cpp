#include "app/journaldlg.h"

#include "device/transferjournal.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

CJournalDlg::CJournalDlg(const QString& path, QWidget* parent) : QDialog(parent), m_path(path)
{
    setWindowTitle(tr("Журнал передач"));
    m_pText = new QPlainTextEdit(this);
    m_pText->setObjectName(QStringLiteral("journalText"));
    m_pText->setAccessibleName(tr("Журнал передач"));
    m_pText->setReadOnly(true);
    m_pText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pText->setPlaceholderText(tr("Передач еще не было."));
    m_pText->setTabStopDistance(m_pText->fontMetrics().horizontalAdvance(u'0') * 12);
    auto* file = new QLabel(tr("Файл: %1").arg(QDir::toNativeSeparators(m_path)), this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Закрыть"));
    QPushButton* reload = buttons->addButton(tr("&Обновить"), QDialogButtonBox::ActionRole);
    reload->setObjectName(QStringLiteral("reloadButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pText, 1);
    layout->addWidget(file);
    layout->addWidget(buttons);
    resize(860, 420);
    connect(reload, &QPushButton::clicked, this, &CJournalDlg::Reload);
    connect(buttons, &QDialogButtonBox::rejected, this, &CJournalDlg::reject);
    Reload();
}

void CJournalDlg::Reload()
{
    m_pText->setPlainText(CTransferJournal(m_path).Text().trimmed());
    m_pText->moveCursor(QTextCursor::End);
    m_pText->moveCursor(QTextCursor::StartOfLine);
    m_pText->verticalScrollBar()->setValue(m_pText->verticalScrollBar()->maximum());
}
