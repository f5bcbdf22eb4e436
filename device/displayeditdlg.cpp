#include "device/displayeditdlg.h"

#include "device/serialport.h"
#include "settings/prompt.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

// Data bits 5 to 8 sit at list positions 1 to 4 of the port's configuration.
constexpr int kFirstDataIndex = 1;
const QStringList kDataTexts = {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                                QStringLiteral("8")};
const QStringList kStopTexts = {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};

// Position 0 is the parity bit present, sent as mark; 1 none.
QStringList ParityTexts()
{
    return {QCoreApplication::translate("CDisplayEditDlg", "есть (mark)"),
            QCoreApplication::translate("CDisplayEditDlg", "нет")};
}

} // namespace

CDisplayEditDlg::CDisplayEditDlg(const DisplayEntry& entry, Refusal refusal, IPrompt& prompt,
                                 QWidget* parent)
    : QDialog(parent), m_refusal(std::move(refusal)), m_prompt(prompt)
{
    setWindowTitle(tr("Табло"));
    m_pName = new QLineEdit(entry.name, this);
    m_pName->setObjectName(QStringLiteral("nameEdit"));
    m_pName->selectAll();
    m_pPort = new QComboBox(this);
    m_pPort->setObjectName(QStringLiteral("portEdit"));
    m_pPort->setEditable(true);
    m_pPort->setInsertPolicy(QComboBox::NoInsert);
    for (const PortListEntry& port : CSerialPort::AvailablePorts())
        m_pPort->addItem(port.text, port.name);
    m_pPort->setCurrentIndex(-1);
    m_pPort->setEditText(entry.config.portName);
    m_pPort->setToolTip(tr("Последовательный порт (COM1, ttyUSB0, /dev/ttyACM0) или сервер "
                           "порта: tcp://ХОСТ:ПОРТ, rfc2217://ХОСТ:ПОРТ"));
    m_pBaud = new QComboBox(this);
    m_pBaud->setObjectName(QStringLiteral("baudList"));
    for (const qint32 rate : CSerialPort::BaudRates())
        m_pBaud->addItem(QString::number(rate));
    m_pBaud->setCurrentIndex(entry.config.baudIndex);
    m_pData = new QComboBox(this);
    m_pData->setObjectName(QStringLiteral("dataList"));
    m_pData->addItems(kDataTexts);
    m_pData->setCurrentIndex(entry.config.dataBitsIndex - kFirstDataIndex);
    m_pStop = new QComboBox(this);
    m_pStop->setObjectName(QStringLiteral("stopList"));
    m_pStop->addItems(kStopTexts);
    m_pStop->setCurrentIndex(entry.config.stopBitsIndex);
    m_pParity = new QComboBox(this);
    m_pParity->setObjectName(QStringLiteral("parityList"));
    m_pParity->addItems(ParityTexts());
    m_pParity->setCurrentIndex(entry.config.parityIndex);

    auto* form = new QFormLayout;
    form->addRow(tr("&Имя:"), m_pName);
    form->addRow(tr("&Порт:"), m_pPort);
    form->addRow(tr("&Скорость обмена:"), m_pBaud);
    form->addRow(tr("Число &информационных бит:"), m_pData);
    form->addRow(tr("Число с&топовых бит:"), m_pStop);
    form->addRow(tr("Бит &четности:"), m_pParity);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CDisplayEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDisplayEditDlg::reject);
    m_pProblem = new QLabel(this);
    m_pProblem->setObjectName(QStringLiteral("problemText"));
    m_pProblem->setWordWrap(true);
    m_pProblem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pProblem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_pProblem->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pProblem);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_pPort->setMinimumWidth(260);
}

DisplayEntry CDisplayEditDlg::Entry() const
{
    DisplayEntry entry;
    entry.name = m_pName->text().trimmed();
    // A port the system lists is shown with its description; its name is what is stored.
    const int listed = m_pPort->findText(m_pPort->currentText());
    entry.config.portName =
        listed >= 0 ? m_pPort->itemData(listed).toString() : m_pPort->currentText().trimmed();
    entry.config.baudIndex = m_pBaud->currentIndex();
    entry.config.dataBitsIndex = m_pData->currentIndex() + kFirstDataIndex;
    entry.config.stopBitsIndex = m_pStop->currentIndex();
    entry.config.parityIndex = m_pParity->currentIndex();
    return entry;
}

void CDisplayEditDlg::ShowProblem(const QString& text)
{
    m_pProblem->setText(text);
    m_pProblem->setVisible(!text.isEmpty());
}

QStringList CDisplayEditDlg::LineTexts(const PortConfig& config)
{
    return {QString::number(CSerialPort::BaudRates().value(config.baudIndex)),
            kDataTexts.value(config.dataBitsIndex - kFirstDataIndex),
            kStopTexts.value(config.stopBitsIndex), ParityTexts().value(config.parityIndex)};
}

void CDisplayEditDlg::accept()
{
    const QString why = m_refusal(Entry());
    if (!why.isEmpty()) {
        m_prompt.Inform(why);
        return;
    }
    QDialog::accept();
}
