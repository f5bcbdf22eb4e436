#include "app/helpdlg.h"

#include "app/appresources.h"
#include "settings/uilanguage.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

QString CHelpDlg::Caption()
{
    return tr("Справка Tavrix Editor");
}

QString CHelpDlg::Page()
{
    return UiLanguage::Current() == UiLanguage::Id::English
               ? QStringLiteral("qrc:/help/help_en.html")
               : QStringLiteral("qrc:/help/help.html");
}

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent)
{
    InitAppResources();
    setWindowTitle(Caption());
    setObjectName(QStringLiteral("helpWindow"));
    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setOpenExternalLinks(false);
    m_pBrowser->setSource(QUrl(Page()));
    m_pFiles = new QLabel(this);
    m_pFiles->setTextFormat(Qt::PlainText);
    m_pFiles->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* close = new QPushButton(tr("Закрыть"), this);
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
