#include "device/portrefusal.h"

#include "device/networkport.h"
#include "device/serialport.h"
#include "settings/prompt.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPort>
#include <cerrno>

void CPortRefusal::Report(IPrompt& prompt, const QString& text, const TransferOutcome& outcome)
{
    if (outcome.result == TransferOutcome::Result::OpenFailed)
        prompt.InformDetails(text, Details(outcome.refusal, outcome.display));
    else
        prompt.Inform(text);
}

CPortRefusal::Kind CPortRefusal::KindOf([[maybe_unused]] const QString& portWord, int systemError,
                                        quint32 serialError)
{
    switch (systemError) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return Kind::NoDevice;
    case EACCES:
    case EPERM:
        return Kind::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return Kind::Busy;
    default:
        break;
    }
    switch (serialError) {
    case QSerialPort::DeviceNotFoundError:
        return Kind::NoDevice;
    case QSerialPort::PermissionError:
#ifdef Q_OS_WIN
        // Windows refuses a port another program holds as access denied.
        return Kind::Busy;
#else
        // The device could be read but not opened for writing, or another program took it for
        // itself (TIOCEXCL): which one, the device's permissions tell.
        return QFileInfo(DevicePath(portWord)).isWritable() ? Kind::Busy : Kind::PermissionDenied;
#endif
    default:
        return Kind::Other;
    }
}

QString CPortRefusal::Details(const OpenRefusal& refusal, const QString& display)
{
    // A network port's reason is already in words for the operator: the transport knows it best.
    if (CNetworkPort::IsNetworkWord(refusal.portWord) && !refusal.systemText.isEmpty())
        return refusal.systemText;
    const QString device = DevicePath(refusal.portWord);
    return Text(refusal.kind, device, QFileInfo(device).group(), refusal.systemText, display);
}

QString CPortRefusal::DevicePath(const QString& portWord)
{
    const QString name = CSerialPort::SystemPortName(portWord);
#ifdef Q_OS_WIN
    return name;
#else
    // QSerialPort looks up a bare name ("ttyUSB0", "pts/3") under /dev.
    return name.startsWith(u'/') ? name : QStringLiteral("/dev/") + name;
#endif
}

QString CPortRefusal::Text(Kind kind, const QString& device, const QString& group,
                           const QString& systemText, const QString& display)
{
    QString text;
    switch (kind) {
    case Kind::NoDevice:
        // A named display's port is set in its own window, not in the COM port settings.
        text = display.isEmpty()
                   ? QCoreApplication::translate(
                         "CPortRefusal", "Устройства %1 нет в системе. Проверьте, подключен ли "
                                         "адаптер, и выберите порт в окне «Настройки COM порта».")
                         .arg(device)
                   : QCoreApplication::translate(
                         "CPortRefusal", "Устройства %1 нет в системе. Проверьте, подключен ли "
                                         "адаптер, и выберите порт табло «%2»: «Изменить…» в "
                                         "окне «Список табло».")
                         .arg(device, display);
        break;
    case Kind::PermissionDenied:
        text = QCoreApplication::translate("CPortRefusal", "Нет прав на доступ к устройству %1.")
                   .arg(device);
        // Joining root's group is no way in; such a device is for the administrator to open up.
        if (group.isEmpty() || group == u"root")
            text += QCoreApplication::translate(
                "CPortRefusal", " Попросите администратора дать вам доступ к нему.");
        else
            text += QCoreApplication::translate(
                        "CPortRefusal", " Оно принадлежит группе %1: добавьте себя в эту группу "
                                        "командой\n\nsudo usermod -aG %1 $USER\n\n"
                                        "и войдите в систему заново.")
                        .arg(group);
        break;
    case Kind::Busy:
        return QCoreApplication::translate(
                   "CPortRefusal",
                   "Порт %1 занят другой программой (или другой копией Tavrix Editor). "
                   "Закройте ее и повторите.")
            .arg(device);
    case Kind::LineSettings:
        if (!display.isEmpty())
            return QCoreApplication::translate(
                       "CPortRefusal",
                       "Порт %1 открылся, но система не принимает его настройки "
                       "(скорость, число битов данных или стоповых битов). Выберите другие для "
                       "табло «%2»: «Изменить…» в окне «Список табло».")
                .arg(device, display);
        return QCoreApplication::translate(
                   "CPortRefusal",
                   "Порт %1 открылся, но система не принимает его настройки "
                   "(скорость, число битов данных или стоповых битов). Выберите другие "
                   "в окне «Настройки COM порта».")
            .arg(device);
    case Kind::Other:
        text = QCoreApplication::translate("CPortRefusal", "Система не дает открыть порт %1.")
                   .arg(device);
        break;
    }
    if (!systemText.isEmpty())
        text += QCoreApplication::translate("CPortRefusal", "\n\nСообщение системы: ") + systemText;
    return text;
}
