#pragma once

#include "device/serialport.h"
#include "settings/portconfig.h"

#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// "Настройки COM порта": the port is chosen among COM1–COM4 or, under "Другой порт:", among the
// ports the system reports or by a name typed in; the line parameters are shown but change only
// through "Сброс настроек".
class CPortSetDialog : public QDialog
{
    Q_OBJECT
public:
    CPortSetDialog(const PortConfig& config, const PortConfig& defaults, QWidget* parent = nullptr);
    ~CPortSetDialog() override;

    // The command: edits a copy of the port's configuration and stores it on OK.
    static void OnPortSettings(QWidget* parent, PortConfig& config);

    // Replaces the system's port list (tests); an empty function restores it.
    static void SetPortListFunction(std::function<QList<PortListEntry>()> list);

    void accept() override;
    void OnReset();
    void OnRefresh();

    static QString Caption();

    PortConfig m_config;

    std::array<QRadioButton*, 4> m_pPorts{};
    QRadioButton* m_pOther = nullptr;  // "Другой порт:"
    QComboBox* m_pOtherList = nullptr; // editable: the reported ports, or a typed name
    QPushButton* m_pRefresh = nullptr; // "Обновить"
    QLabel* m_pNameHint = nullptr;     // why a typed name cannot be kept
    QComboBox* m_pBaud = nullptr;
    QComboBox* m_pDataBits = nullptr;
    QComboBox* m_pStopBits = nullptr;
    QComboBox* m_pParity = nullptr;

private:
    void BuildOtherPortRow(QWidget* group, class QVBoxLayout* layout);
    void CheckPortButton(const QString& portName);
    QString CheckedPortName() const;
    QString OtherPortName() const;
    void OnOtherNameEdited();
    void ShowConfig();

    PortConfig m_defaults;
    QPushButton* m_pOk = nullptr;
};
