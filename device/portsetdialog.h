#pragma once

#include "device/portconfig.h"

#include <QDialog>
#include <array>

class CSerialPort;
class QComboBox;
class QRadioButton;

// "Настройки COM порта": the port is chosen among COM1–COM4; the line parameters are shown but
// change only through "Сброс настроек".
class CPortSetDialog : public QDialog
{
    Q_OBJECT
public:
    CPortSetDialog(const PortConfig& config, const PortConfig& defaults, QWidget* parent = nullptr);
    ~CPortSetDialog() override;

    // The command: edits a copy of the port's configuration and stores it on OK.
    static void OnPortSettings(QWidget* parent, CSerialPort& port);

    void accept() override;
    void OnReset();

    static const QString kCaption;

    PortConfig m_config;

    std::array<QRadioButton*, 4> m_pPorts{};
    QComboBox* m_pBaud = nullptr;
    QComboBox* m_pDataBits = nullptr;
    QComboBox* m_pStopBits = nullptr;
    QComboBox* m_pParity = nullptr;

private:
    void CheckPortButton(const QString& portName);
    QString CheckedPortName() const;
    void ShowConfig();

    PortConfig m_defaults;
};
