#include "app/helpdlg.h"

#include "app/appresources.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

const QString CHelpDlg::kCaption = QStringLiteral("Справка Tavrix Editor");
const QString CHelpDlg::kPage = QStringLiteral("qrc:/help/help.html");

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent)
{
    InitAppResources();
    setWindowTitle(kCaption);
    setObjectName(QStringLiteral("helpWindow"));
    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setOpenExternalLinks(false);
    m_pBrowser->setSource(QUrl(kPage));
    m_pFiles = new QLabel(this);
    m_pFiles->setTextFormat(Qt::PlainText);
    m_pFiles->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pBrowser);
    layout->addWidget(m_pFiles);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(620, 520);
}

CHelpDlg::~CHelpDlg() = default;

CHelpDlg* CHelpDlg::ShowHelp(QWidget* frame, const QString& filesText)
{
    auto* help = frame->findChild<CHelpDlg*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new CHelpDlg(frame);
    help->m_pFiles->setText(filesText);
    help->show();
    help->raise();
    help->activateWindow();
    return help;
}
