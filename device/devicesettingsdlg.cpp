#include "device/devicesettingsdlg.h"

#include "device/deviceframes.h"
#include "device/devicesender.h"
#include "device/displaychoicedlg.h"
#include "device/displaylistdlg.h"
#include "device/multitransferdlg.h"
#include "device/serialport.h"
#include "device/transferstatusdlg.h"
#include "settings/appsettings.h"
#include "settings/prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

QString CDeviceSettingsDlg::Caption()
{
    return tr("Настройки устройства");
}

QString CDeviceSettingsDlg::BadOrder()
{
    return tr("Недопустимое значение порядкового номера изображения");
}

QString CDeviceSettingsDlg::BadDuration()
{
    return tr("Недопустимое значение длительности показа изображения");
}

namespace
{

QString Yes()
{
    return QCoreApplication::translate("CDeviceSettingsDlg", "Да");
}

QString No()
{
    return QCoreApplication::translate("CDeviceSettingsDlg", "Нет");
}

constexpr int kListWidth = 440;
constexpr int kMaxDuration = 255;

CDeviceSettingsDlg::WaitFunction& WaitHook()
{
    static CDeviceSettingsDlg::WaitFunction wait;
    return wait;
}

// A field takes its accessible name from its buddy; without one it would take the group's title.
QLabel* MakeLabel(const QString& text, QWidget* parent, QWidget* buddy = nullptr)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// The whole text must be a number: "12abc" or "" is not one.
bool ReadInt(const QLineEdit* edit, int& value)
{
    bool ok = false;
    value = edit->text().trimmed().toInt(&ok);
    return ok;
}

} // namespace

CDeviceSettingsDlg::CDeviceSettingsDlg(const DeviceServiceSettings& device, const PortConfig& port,
                                       IPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_bGreeting(device.m_bGreeting), m_bDemoPictures(device.m_bDemoPictures),
      m_bDemoString(device.m_bDemoString), m_port(port), m_prompt(prompt)
{
    m_nPictureCount = std::clamp(device.m_nPictureCount, 0, int(device.m_pPictures.size()));
    m_pPictures.assign(device.m_pPictures.begin(), device.m_pPictures.begin() + m_nPictureCount);
    setWindowTitle(Caption());
    BuildControls();

    m_pGreeting->setChecked(m_bGreeting);
    m_pDemoString->setChecked(m_bDemoString);
    m_pDemoPictures->setChecked(m_bDemoPictures);
    m_nCurrent = 0;
    InitGImageList();
    LoadCurrentPicture();
}

CDeviceSettingsDlg::~CDeviceSettingsDlg() = default;

void CDeviceSettingsDlg::BuildControls()
{
    auto* group = new QGroupBox(tr("Служебные настройки устройства"), this);

    m_pList = new QTableWidget(0, 4, group);
    m_pList->setObjectName(QStringLiteral("pictureList"));
    m_pList->setFixedWidth(kListWidth);
    m_pList->setMinimumHeight(220);
    m_pList->setShowGrid(true);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->verticalHeader()->hide();
    m_pList->horizontalHeader()->setHighlightSections(false);
    m_pList->setAccessibleName(tr("Список всех изображений")); // a table takes no buddy

    auto* edit = new QGroupBox(tr("Редактирование"), group);
    edit->setAccessibleName(edit->title()); // else it is named after the group around it
    m_pName = new QLineEdit(edit);
    m_pName->setObjectName(QStringLiteral("nameEdit"));
    m_pName->setAccessibleName(tr("Название изображения")); // its column's title
    m_pName->setReadOnly(true);
    m_pName->setAlignment(Qt::AlignCenter);
    m_pUse = new QComboBox(edit);
    m_pUse->setObjectName(QStringLiteral("useList"));
    m_pUse->addItems({Yes(), No()});
    m_pOrder = new QLineEdit(edit);
    m_pOrder->setObjectName(QStringLiteral("orderEdit"));
    m_pDuration = new QLineEdit(edit);
    m_pDuration->setObjectName(QStringLiteral("durationEdit"));
    m_pApplyChanges = new QPushButton(tr("Внести изменения"), edit);
    m_pApplyChanges->setObjectName(QStringLiteral("applyChangesButton"));
    m_pApplyChanges->setDefault(true);
    auto* editGrid = new QGridLayout(edit);
    editGrid->addWidget(m_pName, 0, 0, 1, 2);
    editGrid->addWidget(MakeLabel(tr("Использование"), edit, m_pUse), 1, 0);
    editGrid->addWidget(m_pUse, 1, 1);
    editGrid->addWidget(MakeLabel(tr("Порядковый номер"), edit, m_pOrder), 2, 0);
    editGrid->addWidget(m_pOrder, 2, 1);
    editGrid->addWidget(MakeLabel(tr("Длительность (с)"), edit, m_pDuration), 3, 0);
    editGrid->addWidget(m_pDuration, 3, 1);
    editGrid->addWidget(m_pApplyChanges, 4, 0, 1, 2);
    editGrid->setRowStretch(5, 1);

    m_pGreeting = new QCheckBox(tr("Выводить приветствие при включении"), group);
    m_pGreeting->setObjectName(QStringLiteral("greetingCheck"));
    m_pDemoString = new QCheckBox(tr("Выводить демонстрационную строку"), group);
    m_pDemoString->setObjectName(QStringLiteral("demoStringCheck"));
    m_pDemoPictures = new QCheckBox(tr("Выводить демонстрационные картинки"), group);
    m_pDemoPictures->setObjectName(QStringLiteral("demoPicturesCheck"));

    auto* groupGrid = new QGridLayout(group);
    groupGrid->addWidget(MakeLabel(tr("Список всех изображений "), group, m_pList), 0, 0);
    groupGrid->addWidget(m_pList, 1, 0, 2, 1);
    groupGrid->addWidget(edit, 1, 1);
    auto* checks = new QVBoxLayout;
    checks->addWidget(m_pGreeting);
    checks->addWidget(m_pDemoString);
    checks->addWidget(m_pDemoPictures);
    groupGrid->addLayout(checks, 3, 0, 1, 2);

    auto* send = new QPushButton(tr("Применить к устройству"), this);
    send->setObjectName(QStringLiteral("okButton"));
    send->setAutoDefault(false);
    auto* cancel = new QPushButton(tr("Отмена"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    m_pSendMany = new QPushButton(tr("На несколько табло…"), this);
    m_pSendMany->setObjectName(QStringLiteral("sendManyButton"));
    m_pSendMany->setAutoDefault(false);
    m_pSendMany->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pSendMany);
    buttons->addStretch(1);
    buttons->addWidget(send);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    connect(m_pApplyChanges, &QPushButton::clicked, this, &CDeviceSettingsDlg::OnApplyChanges);
    connect(send, &QPushButton::clicked, this, &CDeviceSettingsDlg::accept);
    connect(m_pSendMany, &QPushButton::clicked, this, &CDeviceSettingsDlg::OnSendMany);
    connect(cancel, &QPushButton::clicked, this, &CDeviceSettingsDlg::reject);
    connect(m_pList, &QTableWidget::currentCellChanged, this,
            [this](int row) { OnListNotify(row); });
    connect(m_pList, &QTableWidget::cellClicked, this, [this](int row) { OnListNotify(row); });
}

void CDeviceSettingsDlg::OnDeviceSettings(QWidget* parent, AppSettings& settings, IPrompt& prompt)
{
    CDeviceSettingsDlg dlg(settings.m_device, settings.m_port, prompt, parent);
    dlg.SetDisplayListPath(CDisplayListDlg::ListPath(settings));
    if (dlg.exec() != QDialog::Accepted)
        return;
    dlg.StoreInto(settings.m_device);
    settings.BuildPictureLists();
}

void CDeviceSettingsDlg::SetWaitFunction(WaitFunction wait)
{
    WaitHook() = std::move(wait);
}

void CDeviceSettingsDlg::SetDisplayListPath(const QString& path)
{
    m_strListPath = path;
    m_pSendMany->setVisible(!path.isEmpty());
}

void CDeviceSettingsDlg::StoreInto(DeviceServiceSettings& device) const
{
    device.m_bGreeting = m_bGreeting;
    device.m_bDemoPictures = m_bDemoPictures;
    device.m_bDemoString = m_bDemoString;
    const int count = std::min(m_nPictureCount, int(device.m_pPictures.size()));
    std::copy_n(m_pPictures.begin(), count, device.m_pPictures.begin());
}

void CDeviceSettingsDlg::InitGImageList()
{
    const int half = m_pList->width() / 2;
    m_pList->setHorizontalHeaderLabels(
        {tr("Название изображения"), tr("Показ"), tr("Номер"), tr("Время")});
    m_pList->setColumnWidth(0, half);
    for (int column = 1; column < 4; ++column)
        m_pList->setColumnWidth(column, half / 3 - 1);
    m_pList->setRowCount(m_nPictureCount);
    for (int row = 0; row < m_nPictureCount; ++row)
        FillRow(row);
    if (m_nCurrent < m_nPictureCount)
        m_pList->selectRow(m_nCurrent);
}

void CDeviceSettingsDlg::FillRow(int row)
{
    const PictureEntry& picture = m_pPictures[row];
    const QString cells[4] = {picture.strName, picture.bShown ? Yes() : No(),
                              QString::number(row + 1), QString::number(picture.nDuration)};
    for (int column = 0; column < 4; ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setTextAlignment(Qt::AlignCenter);
        m_pList->setItem(row, column, item);
    }
}

void CDeviceSettingsDlg::LoadCurrentPicture()
{
    if (m_nCurrent < 0 || m_nCurrent >= m_nPictureCount) {
        // No picture to edit: no field may suggest one, the use list included.
        m_pUse->setCurrentIndex(-1);
        m_pName->clear();
        m_pOrder->clear();
        m_pDuration->clear();
        return;
    }
    const PictureEntry& picture = m_pPictures[m_nCurrent];
    m_pUse->setCurrentText(picture.bShown ? Yes() : No());
    m_pName->setText(picture.strName);
    m_pOrder->setText(QString::number(m_nCurrent + 1));
    m_pDuration->setText(QString::number(picture.nDuration));
}

void CDeviceSettingsDlg::OnListNotify(int row)
{
    // A click below the last row names no picture and keeps the current one.
    if (row < 0 || row >= m_nPictureCount)
        return;
    m_nCurrent = row;
    LoadCurrentPicture();
}

void CDeviceSettingsDlg::OnApplyChanges()
{
    int order = 0;
    if (!ReadInt(m_pOrder, order) || order < 1 || order > m_nPictureCount) {
        m_prompt.Inform(BadOrder());
        return;
    }
    int duration = 0;
    if (!ReadInt(m_pDuration, duration) || duration < 0 || duration > kMaxDuration) {
        m_prompt.Inform(BadDuration());
        return;
    }
    ApplyCurrentPicture(duration, order - 1);
}

void CDeviceSettingsDlg::ApplyCurrentPicture(int duration, int newPosition)
{
    PictureEntry& picture = m_pPictures[m_nCurrent];
    picture.bShown = m_pUse->currentText() == Yes();
    picture.nDuration = duration;
    // The order number swaps two pictures; the ones between them stay where they are.
    if (newPosition != m_nCurrent)
        std::swap(m_pPictures[m_nCurrent], m_pPictures[newPosition]);
    FillRow(m_nCurrent);
    FillRow(newPosition);
    m_nCurrent = newPosition;
    // The highlight follows the picture, so the row shown as current is the one being edited.
    m_pList->selectRow(newPosition);
}

void CDeviceSettingsDlg::accept()
{
    if (m_bTransferring || !ReadFlags())
        return;
    m_bTransferring = true;
    const bool sent = Transfer();
    m_bTransferring = false;
    if (sent)
        QDialog::accept();
    else
        QDialog::reject();
}

bool CDeviceSettingsDlg::ReadFlags()
{
    m_bGreeting = m_pGreeting->isChecked();
    m_bDemoString = m_pDemoString->isChecked();
    m_bDemoPictures = m_pDemoPictures->isChecked();
    if (DeviceFrames::ShownCount(m_pPictures) > DeviceFrames::kMaxShownPictures) {
        m_prompt.Inform(DeviceFrames::TooManyShownText());
        return false;
    }
    return true;
}

void CDeviceSettingsDlg::OnSendMany()
{
    QList<DisplayEntry> displays;
    if (m_bTransferring || !ReadFlags() ||
        !CDisplayChoiceDlg::Choose(this, m_strListPath, tr("Передать настройки на несколько табло"),
                                   m_prompt, displays))
        return;
    m_bTransferring = true;
    const int sent = CMultiTransferDlg::RunAndReport(
        displays,
        CDeviceSender::SettingsFrames(m_bGreeting, m_bDemoString, m_bDemoPictures, m_pPictures),
        this, &CDeviceSender::SettingsMessage, tr("Настройки переданы на %1 из %2 табло."),
        WaitHook());
    m_bTransferring = false;
    if (sent == displays.size())
        QDialog::accept();
}

void CDeviceSettingsDlg::reject()
{
    // Closing the window while frames are on their way would drop the result of the transfer.
    if (!m_bTransferring)
        QDialog::reject();
}

bool CDeviceSettingsDlg::Transfer()
{
    CDeviceSender sender(m_port);
    if (const auto& wait = WaitHook())
        sender.SetWaitFunction(wait);
    sender.StartDeviceSettings(m_bGreeting, m_bDemoString, m_bDemoPictures, m_pPictures);
    return CTransferStatusDlg::RunAndReport(sender, this, m_prompt,
                                            &CDeviceSender::SettingsMessage) ==
           CDeviceSender::Result::Ok;
}
