#include "cli/transferreport.h"

#include "device/multisender.h"
#include "device/portrefusal.h"
#include "device/serialport.h"
#include "settings/uilanguage.h"

QString TransferReport::DisplayText(const CMultiSender& multi, int index, MessageOf message)
{
    const UiLanguage::SourceTexts sourceTexts;
    const CDeviceSender::Result result = multi.Result(index);
    QString text = message(result);
    if (result == CDeviceSender::Result::OpenFailed) {
        const CSerialPort& port = multi.Port(index);
        text += u' ' + port.m_szLastError + u' ' + CPortRefusal::Details(port).simplified();
    } else if (result != CDeviceSender::Result::Ok) {
        text += u' ' + multi.Sender(index).ResultDetails();
    }
    return text.simplified();
}

QString TransferReport::DisplayLine(const QString& name, const QString& port, const QString& text)
{
    return QStringLiteral("%1\t%2\t%3\n").arg(name, port, text.simplified());
}
