#include "device/portsetdialog.h"

#include "device/networkport.h"
#include "device/serialport.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

QString CPortSetDialog::Caption()
{
    return tr("Настройки COM порта");
}

namespace
{

QString Present()
{
    return QCoreApplication::translate("CPortSetDialog", "Есть");
}

QString Absent()
{
    return QCoreApplication::translate("CPortSetDialog", "Нет");
}

std::function<QList<PortListEntry>()>& PortListHook()
{
    static std::function<QList<PortListEntry>()> list;
    return list;
}

QList<PortListEntry> PortList()
{
    const auto& list = PortListHook();
    return list ? list() : CSerialPort::AvailablePorts();
}

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& entries)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(entries);
    // The line parameters are shown, not chosen: only a reset changes them.
    list->setEnabled(false);
    return list;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

CPortSetDialog::CPortSetDialog(const PortConfig& config, const PortConfig& defaults,
                               QWidget* parent)
    : QDialog(parent), m_config(config), m_defaults(defaults)
{
    setWindowTitle(Caption());
    auto* group = new QGroupBox(tr("Настройка COM порта"), this);
    auto* groupLayout = new QVBoxLayout(group);

    auto* ports = new QHBoxLayout;
    auto* exclusive = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("COM%1").arg(i + 1);
        m_pPorts[i] = new QRadioButton(name, group);
        m_pPorts[i]->setObjectName(name);
        exclusive->addButton(m_pPorts[i]);
        ports->addWidget(m_pPorts[i]);
    }
    groupLayout->addLayout(ports);
    BuildOtherPortRow(group, groupLayout);

    m_pBaud = MakeList(
        group, "baudList",
        {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000"});
    m_pDataBits = MakeList(group, "dataBitsList", {"4", "5", "6", "7", "8"});
    m_pStopBits = MakeList(group, "stopBitsList", {"1", "1.5", "2"});
    m_pParity = MakeList(group, "parityList", {Present(), Absent()});

    auto* grid = new QGridLayout;
    const std::array<std::pair<QString, QComboBox*>, 4> rows{{
        {tr(" Скоростость обмена"), m_pBaud},
        {tr(" Число информационных бит"), m_pDataBits},
        {tr(" Число стоповых бит"), m_pStopBits},
        {tr(" Наличие бита четности"), m_pParity},
    }};
    for (int row = 0; row < int(rows.size()); ++row) {
        auto* label = new QLabel(rows[row].first, group);
        label->setBuddy(rows[row].second);
        rows[row].second->setAccessibleName(rows[row].first.trimmed());
        grid->addWidget(label, row, 0);
        grid->addWidget(rows[row].second, row, 1);
    }
    grid->setColumnStretch(0, 1);
    groupLayout->addLayout(grid);

    auto* ok = MakeButton(this, QStringLiteral("OK"), "okButton");
    ok->setDefault(true);
    m_pOk = ok;
    auto* reset = MakeButton(this, tr("Сброс настроек"), "resetButton");
    reset->setAutoDefault(false);
    auto* cancel = MakeButton(this, tr("Отмена"), "cancelButton");
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(reset, &QPushButton::clicked, this, &CPortSetDialog::OnReset);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(reset);
    buttons->addStretch(1);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    OnRefresh();
    CheckPortButton(m_config.portName);
    ShowConfig();
}

void CPortSetDialog::BuildOtherPortRow(QWidget* group, QVBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    m_pOther = new QRadioButton(tr("Другой порт:"), group);
    m_pOther->setObjectName(QStringLiteral("otherPort"));
    m_pPorts[0]->group()->addButton(m_pOther);
    row->addWidget(m_pOther);
    m_pOtherList = new QComboBox(group);
    m_pOtherList->setObjectName(QStringLiteral("otherPortList"));
    m_pOtherList->setEditable(true);
    m_pOtherList->setInsertPolicy(QComboBox::NoInsert);
    m_pOtherList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pOtherList->setMinimumContentsLength(24);
    // Its label is the radio button, which cannot be a buddy; the typing goes to the inner field.
    m_pOtherList->setAccessibleName(tr("Другой порт"));
    m_pOtherList->lineEdit()->setAccessibleName(m_pOtherList->accessibleName());
    row->addWidget(m_pOtherList, 1);
    m_pRefresh = MakeButton(group, tr("Обновить"), "refreshButton");
    m_pRefresh->setAutoDefault(false);
    row->addWidget(m_pRefresh);
    layout->addLayout(row);
    m_pNameHint = new QLabel(group);
    m_pNameHint->setObjectName(QStringLiteral("nameHint"));
    m_pNameHint->setWordWrap(true);
    m_pNameHint->setStyleSheet(QStringLiteral("color: #b00000"));
    m_pNameHint->hide();
    layout->addWidget(m_pNameHint);

    connect(m_pRefresh, &QPushButton::clicked, this, &CPortSetDialog::OnRefresh);
    connect(m_pOtherList->lineEdit(), &QLineEdit::textEdited, m_pOther,
            [this] { m_pOther->setChecked(true); });
    connect(m_pOtherList, &QComboBox::editTextChanged, this, &CPortSetDialog::OnOtherNameEdited);
    connect(m_pOtherList, &QComboBox::activated, m_pOther, [this] { m_pOther->setChecked(true); });
    connect(m_pOther, &QRadioButton::toggled, this, &CPortSetDialog::OnOtherNameEdited);
}

void CPortSetDialog::SetPortListFunction(std::function<QList<PortListEntry>()> list)
{
    PortListHook() = std::move(list);
}

// Re-reads the ports the system reports; the port typed or chosen stays, by its name: a device
// that has left the list keeps its name, not the line that described it.
void CPortSetDialog::OnRefresh()
{
    const QString current = m_pOtherList->currentText().isEmpty() ? QString() : OtherPortName();
    {
        const QSignalBlocker blocker(m_pOtherList);
        m_pOtherList->clear();
        for (const PortListEntry& port : PortList())
            m_pOtherList->addItem(port.text, port.name);
        m_pOtherList->setCurrentIndex(-1);
        const int listed = current.isEmpty() ? -1 : m_pOtherList->findData(current);
        m_pOtherList->setEditText(listed >= 0 ? m_pOtherList->itemText(listed) : current);
    }
    OnOtherNameEdited();
}

void CPortSetDialog::OnOtherNameEdited()
{
    const QString name = OtherPortName();
    const bool refused = m_pOther->isChecked() && !CSerialPort::IsStorablePortName(name);
    m_pNameHint->setText(
        CNetworkPort::IsNetworkWord(name)
            ? tr("Сетевой порт записывается как tcp://СЕРВЕР:ПОРТ или "
                 "rfc2217://СЕРВЕР:ПОРТ, где ПОРТ — число от 1 до 65535.")
            : tr("Имя порта не может быть пустым, содержать пробелы или быть длиннее "
                 "255 символов."));
    m_pNameHint->setVisible(refused);
    m_pOk->setEnabled(!refused);
}

// A line of the list stands for its port's name; anything else is the name as typed.
QString CPortSetDialog::OtherPortName() const
{
    const QString text = m_pOtherList->currentText().trimmed();
    const int listed = m_pOtherList->findText(text, Qt::MatchExactly);
    return listed >= 0 ? m_pOtherList->itemData(listed).toString() : text;
}

CPortSetDialog::~CPortSetDialog() = default;

void CPortSetDialog::OnPortSettings(QWidget* parent, PortConfig& config)
{
    CPortSetDialog dlg(config, PortConfig{}, parent);
    if (dlg.exec() == QDialog::Accepted)
        config = dlg.m_config;
}

void CPortSetDialog::accept()
{
    const QString name = CheckedPortName();
    if (!CSerialPort::IsStorablePortName(name))
        return; // OK is disabled meanwhile; the hint says why
    m_config.portName = name;
    // A position the lists cannot show (only the settings file can hold one) is kept as it is.
    const auto pick = [](const QComboBox* list, int current) {
        return list->currentIndex() >= 0 ? list->currentIndex() : current;
    };
    m_config.baudIndex = pick(m_pBaud, m_config.baudIndex);
    m_config.dataBitsIndex = pick(m_pDataBits, m_config.dataBitsIndex);
    m_config.stopBitsIndex = pick(m_pStopBits, m_config.stopBitsIndex);
    // The list shows every position but 1 as "Есть", and what it shows is what is stored.
    m_config.parityIndex = m_pParity->currentText() == Present() ? 0 : 1;
    QDialog::accept();
}

void CPortSetDialog::OnReset()
{
    m_config = m_defaults;
    CheckPortButton(m_config.portName);
    ShowConfig();
}

void CPortSetDialog::CheckPortButton(const QString& portName)
{
    for (int i = 0; i < 4; ++i) {
        if (portName == QStringLiteral("COM%1").arg(i + 1)) {
            m_pPorts[i]->setChecked(true);
            return;
        }
    }
    // Any other name is kept as it is, under "Другой порт:".
    const int listed = m_pOtherList->findData(portName);
    m_pOtherList->setEditText(listed >= 0 ? m_pOtherList->itemText(listed) : portName);
    m_pOther->setChecked(true);
}

QString CPortSetDialog::CheckedPortName() const
{
    for (int i = 0; i < 4; ++i) {
        if (m_pPorts[i]->isChecked())
            return QStringLiteral("COM%1").arg(i + 1);
    }
    return OtherPortName();
}

void CPortSetDialog::ShowConfig()
{
    m_pBaud->setCurrentIndex(m_config.baudIndex);
    m_pDataBits->setCurrentIndex(m_config.dataBitsIndex);
    m_pStopBits->setCurrentIndex(m_config.stopBitsIndex);
    m_pParity->setCurrentText(m_config.parityIndex == 1 ? Absent() : Present());
}
