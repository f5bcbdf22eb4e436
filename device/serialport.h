#pragma once

#include "device/portconfig.h"

#include <QString>
#include <memory>

class QSerialPort;

// The one serial port through which the display is reached. Senders call Open, then Write one
// or more frames, then Close in every case; the port is never held between commands.
class CSerialPort
{
public:
    CSerialPort();
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    bool Open();
    void Close();
    // Purges both directions, then writes the block; returns how many bytes left.
    qint64 Write(qint64 count, const unsigned char* data);

    PortConfig GetConfig() const { return m_config; }
    void SetConfig(const PortConfig& config) { m_config = config; }
    PortConfig GetDefaultConfig() const { return m_defaultConfig; }
    void ResetConfig();

    bool IsOpen() const { return m_bOpen; }

    // The device name QSerialPort opens for a configured port name ("COM1" → /dev/ttyS0 on Linux).
    static QString SystemPortName(const QString& portName);

    QString m_szLastError;
    quint32 m_dwLastError = 0;

private:
    quint32 ApplyLineSettings();
    void SetModemLines();
    void WaitUntilWritten(qint64 count);
    void SetLastError(const QString& text, quint32 code);

    std::unique_ptr<QSerialPort> m_hPort;
    bool m_bOpen = false;
    PortConfig m_config;
    PortConfig m_defaultConfig;
};
