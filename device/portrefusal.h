#pragma once

#include "device/transferoutcome.h"

#include <QString>

class IPrompt;

// Why the system refused to open the port, in words an operator can act on. The message box of a
// failed transfer keeps its own text and shows this as its details.
class CPortRefusal
{
public:
    using Kind = OpenRefusal::Kind;

    // Shows the message of a transfer's end; when the port would not open, with the reason as
    // the box's details.
    static void Report(IPrompt& prompt, const QString& text, const TransferOutcome& outcome);

    // The kind of an open the system refused (the line settings aside), from its codes: errno or
    // the Windows error, and QSerialPort's error kind; portWord: the port as configured.
    static Kind KindOf(const QString& portWord, int systemError, quint32 serialError);
    // display: the named display whose port it is, whose own window the advice then names; empty
    // for the port of "Настройки COM порта".
    static QString Details(const OpenRefusal& refusal, const QString& display = QString());

    // device: the path opened; group: the group owning it (empty when unknown); systemText: the
    // system's own words, added where they help.
    static QString Text(Kind kind, const QString& device, const QString& group,
                        const QString& systemText, const QString& display = QString());
    // The path a configured port name opens ("COM1" → /dev/ttyS0, "ttyUSB0" → /dev/ttyUSB0).
    static QString DevicePath(const QString& portWord);
};
