#pragma once

#include <QString>

class CSerialPort;
class IPrompt;

// Why the system refused to open the port, in words an operator can act on. The message box of a
// failed transfer keeps its own text and shows this as its details.
class CPortRefusal
{
public:
    // LineSettings: the port opened, but the system would not take its line settings.
    enum class Kind { NoDevice, PermissionDenied, Busy, LineSettings, Other };

    // Shows the message of a transfer's end; when the port would not open, with the reason as
    // the box's details.
    static void Report(IPrompt& prompt, const QString& text, bool openFailed,
                       const CSerialPort& port);

    // After a failed CSerialPort::Open. display: the named display whose port it is, whose own
    // window the advice then names; empty for the port of "Настройки COM порта".
    static Kind KindOf(const CSerialPort& port);
    static QString Details(const CSerialPort& port, const QString& display = QString());

    // device: the path opened; group: the group owning it (empty when unknown); systemText: the
    // system's own words, added where they help.
    static QString Text(Kind kind, const QString& device, const QString& group,
                        const QString& systemText, const QString& display = QString());
    // The path the port's configured name opens ("COM1" → /dev/ttyS0, "ttyUSB0" → /dev/ttyUSB0).
    static QString DevicePath(const CSerialPort& port);
};
