#include "device/transferoutcome.h"

#include "device/networkport.h"

#include <QCoreApplication>

QString OpenRefusal::LastErrorText() const
{
    return QCoreApplication::translate("CSerialPort", lastError.toUtf8().constData());
}

QString TransferOutcome::ResultText() const
{
    return message ? message(result) : QString();
}

QString TransferOutcome::Details() const
{
    // TCP acknowledgements come from the server's system, whatever its program and its line do.
    if (result == Result::Ok && IsNetwork())
        return QCoreApplication::translate("CDeviceSender",
                                           "Сервер принял все %1 байт; доставку на табло он не "
                                           "подтверждает.")
            .arg(total);
    return result == Result::WriteFailed ? note : QString();
}

bool TransferOutcome::IsNetwork() const
{
    return CNetworkPort::IsNetworkWord(portWord);
}
