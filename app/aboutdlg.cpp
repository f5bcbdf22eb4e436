#include "app/aboutdlg.h"

#include "app/appresources.h"
#include "settings/appsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

QString CAboutDlg::Caption()
{
    return tr("О программе Tavrix Editor");
}

QString CAboutDlg::Version()
{
    return tr("Tavrix Editor Версия 1.0");
}

QString CAboutDlg::Notice()
{
    return tr("Подготовка и передача сообщений для табло бегущей строки.\n"
              "Лицензия GNU GPL версии 3 или более поздней; Qt используется по лицензии "
              "GNU LGPL.");
}

QString CAboutDlg::FilesText(const AppSettings& settings)
{
    return tr("Файл настроек: ") + QDir::toNativeSeparators(settings.IniPath()) +
           tr("\nПапка шрифтов: ") + QDir::toNativeSeparators(settings.m_strFontDir);
}

CAboutDlg::CAboutDlg(const AppSettings& settings, QWidget* parent) : QDialog(parent)
{
    InitAppResources();
    setWindowTitle(Caption());
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/pictures/icon.png")).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* version = new QLabel(Version(), this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    version->setTextFormat(Qt::PlainText); // no access-key processing, no markup
    auto* notice = new QLabel(Notice(), this);
    notice->setObjectName(QStringLiteral("aboutNotice"));
    notice->setTextFormat(Qt::PlainText);
    auto* files = new QLabel(FilesText(settings), this);
    files->setObjectName(QStringLiteral("aboutFiles"));
    files->setTextFormat(Qt::PlainText);
    files->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    m_pOk->setDefault(true);
    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(16, 14, 14, 14);
    layout->setHorizontalSpacing(14);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(version, 0, 1);
    layout->addWidget(m_pOk, 0, 2, Qt::AlignTop);
    layout->addWidget(notice, 1, 1, 1, 2);
    layout->addWidget(files, 2, 1, 1, 2);
    layout->setColumnStretch(1, 1);
    setFixedSize(sizeHint());
}

CAboutDlg::~CAboutDlg() = default;
