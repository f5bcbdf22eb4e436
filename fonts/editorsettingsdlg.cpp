#include "fonts/editorsettingsdlg.h"

#include "settings/appsettings.h"
#include "settings/prompt.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

QString CEditorSettingsDlg::Caption()
{
    return tr("Настройки текстового редактора");
}

const QString CEditorSettingsDlg::kBadNumber =
    QStringLiteral("Please enter an integer between 2 and 1048576.");
const QString CEditorSettingsDlg::kNotInteger = QStringLiteral("Please enter an integer.");
QString CEditorSettingsDlg::BrowseTitle()
{
    return tr("Выберите директорию со шрифтами");
}

namespace
{

CEditorSettingsDlg::FolderChooser& Chooser()
{
    static CEditorSettingsDlg::FolderChooser chooser;
    return chooser;
}

QString ChooseWithPlatform(QWidget* parent, const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

QLineEdit* MakeEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

// The field's label, and its accessible name: the label's text on one line, without the colon
// (without a name the field would be announced by the group's title).
QLabel* MakeLabel(const QString& text, QWidget* parent, QLineEdit* buddy)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    QString name = text.simplified();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    buddy->setAccessibleName(name.trimmed());
    return label;
}

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

CEditorSettingsDlg::CEditorSettingsDlg(IPrompt& prompt, int maxChars, const QString& dir,
                                       const QString& fontList, QWidget* parent)
    : QDialog(parent), m_nMaxChars(maxChars), m_strDir(dir), m_strFontList(fontList),
      m_prompt(prompt)
{
    setWindowTitle(Caption());
    auto* group = new QGroupBox(Caption(), this);
    auto* grid = new QGridLayout(group);

    m_pMaxChars = MakeEdit(group, "maxCharsEdit");
    m_pMaxChars->setFixedWidth(90);
    m_pDir = MakeEdit(group, "fontDirEdit");
    m_pFontList = MakeEdit(group, "fontListEdit");
    auto* browse = new QPushButton(tr("Обзор"), group);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CEditorSettingsDlg::OnBrowse);

    grid->addWidget(
        MakeLabel(tr("Максимальное количество символов в текстовом редакторе"), group, m_pMaxChars),
        0, 0);
    grid->addWidget(m_pMaxChars, 0, 1, Qt::AlignRight);
    grid->setRowMinimumHeight(1, 8);
    grid->addWidget(MakeLabel(tr("Директория размещения файлов шрифтов :"), group, m_pDir), 2, 0, 1,
                    2);
    grid->addWidget(m_pDir, 3, 0);
    grid->addWidget(browse, 3, 1);
    grid->setRowMinimumHeight(4, 8);
    grid->addWidget(MakeLabel(tr("Список шрифтов, которые поддерживает устройство\n"
                                 "(названия шрифтов вводяться согласно их номерам в "
                                 "памяти устройства) :"),
                              group, m_pFontList),
                    5, 0, 1, 2);
    grid->addWidget(m_pFontList, 6, 0, 1, 2);

    auto* apply = new QPushButton(tr("Применить"), this);
    apply->setObjectName(QStringLiteral("applyButton"));
    apply->setDefault(true);
    auto* cancel = new QPushButton(tr("Отмена"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    UpdateData(false);
}

CEditorSettingsDlg::~CEditorSettingsDlg() = default;

bool CEditorSettingsDlg::Run(QWidget* parent, AppSettings& settings)
{
    CEditorSettingsDlg dlg(settings.Prompt(), settings.m_nMaxSym, settings.m_strFontDir,
                           settings.m_strFontNames, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    settings.m_nMaxSym = dlg.m_nMaxChars;
    settings.m_strFontDir = dlg.m_strDir;
    settings.m_strFontNames = dlg.m_strFontList;
    return true;
}

void CEditorSettingsDlg::SetFolderChooser(FolderChooser chooser)
{
    Chooser() = std::move(chooser);
}

bool CEditorSettingsDlg::UpdateData(bool bSaveAndValidate)
{
    if (!bSaveAndValidate) {
        m_pMaxChars->setText(QString::number(m_nMaxChars));
        m_pDir->setText(m_strDir);
        m_pFontList->setText(m_strFontList);
        return true;
    }
    int value = 0;
    const MaxCharsCheck check = ParseMaxChars(m_pMaxChars->text(), value);
    if (check != Accepted) {
        m_prompt.Inform(check == NotInteger ? kNotInteger : kBadNumber);
        m_pMaxChars->setFocus();
        m_pMaxChars->selectAll();
        return false;
    }
    m_nMaxChars = value;
    m_strDir = m_pDir->text();
    m_strFontList = m_pFontList->text();
    return true;
}

void CEditorSettingsDlg::OnBrowse()
{
    const FolderChooser& chooser = Chooser();
    const QString dir = chooser ? chooser(this, BrowseTitle(), m_pDir->text())
                                : ChooseWithPlatform(this, BrowseTitle(), m_pDir->text());
    if (dir.isEmpty())
        return;
    m_strDir = dir;
    // Every field is shown again from the members: numbers and names typed since the dialog
    // opened give way to the values it opened with.
    UpdateData(false);
}

void CEditorSettingsDlg::accept()
{
    if (UpdateData(true))
        QDialog::accept();
}

// Read as the field has always been read: its first 31 characters, blanks around, a sign and
// digits; a zero only when it is written as a zero. An integer that the device cannot take is
// told apart from text that is no integer at all.
CEditorSettingsDlg::MaxCharsCheck CEditorSettingsDlg::ParseMaxChars(const QString& field,
                                                                    int& value)
{
    const QString text = field.left(31);
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    const qsizetype first = begin;
    bool negative = false;
    if (begin < end && (text[begin] == QLatin1Char('+') || text[begin] == QLatin1Char('-'))) {
        negative = text[begin] == QLatin1Char('-');
        ++begin;
    }
    if (begin == end)
        return NotInteger;
    qint64 number = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return NotInteger;
        number = std::min<qint64>(number * 10 + (c.unicode() - '0'), qint64(kMaxChars) + 1);
    }
    if (number == 0 && text[first] != QLatin1Char('0'))
        return NotInteger;
    if (negative)
        number = -number;
    if (number < kMinChars || number > kMaxChars)
        return OutOfRange;
    value = int(number);
    return Accepted;
}
