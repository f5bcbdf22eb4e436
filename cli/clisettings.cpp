#include "cli/clisettings.h"

#include "cli/console.h"
#include "device/networkport.h"
#include "device/serialport.h"
#include "editor/tavrixeditordoc.h"
#include "settings/programlayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

CCliSettings::CCliSettings(const QString& programDir)
    : m_settings(m_prompt, ProgramLayout::Find(programDir), AppSettings::Access::ReadOnly)
{
}

QString CCliSettings::UnreadText() const
{
    const QString where = QCoreApplication::translate("CCliSettings", " Файл: «%1».")
                              .arg(QDir::toNativeSeparators(m_settings.IniPath()));
    if (m_settings.GetIniState() == AppSettings::IniState::Malformed)
        return QCoreApplication::translate("CCliSettings",
                                           "Неправильный формат файла настроек программы.") +
               where;
    return QCoreApplication::translate(
               "CCliSettings", "Не удается открыть или не был создан файл настроек программы.") +
           where;
}

bool CCliSettings::SetOverrides(const QString& port, const QString& baud, CliFailure& failure)
{
    if (!port.isNull()) {
        if (port.trimmed().isEmpty()) {
            failure = {ExitUsage,
                       QCoreApplication::translate("CCliSettings", "Пустое имя порта в --port.")};
            return false;
        }
        if (CNetworkPort::IsNetworkWord(port) && !CNetworkPort::Parse(port)) {
            failure = {ExitUsage, CNetworkPort::MalformedText(port)};
            return false;
        }
        m_port = port;
    }
    if (baud.isNull())
        return true;
    const QList<qint32> rates = CSerialPort::BaudRates();
    bool ok = false;
    const int index = int(rates.indexOf(baud.toInt(&ok)));
    if (!ok || index < 0) {
        QStringList list;
        for (const qint32 rate : rates)
            list << QString::number(rate);
        failure = {ExitUsage, QCoreApplication::translate(
                                  "CCliSettings", "Скорость «%1» не поддерживается; возможны: %2.")
                                  .arg(baud, list.join(QStringLiteral(", ")))};
        return false;
    }
    m_baudIndex = index;
    return true;
}

bool CCliSettings::PortConfigToUse(PortConfig& config, CliFailure& failure) const
{
    if (!IsRead() && !(m_port && m_baudIndex)) {
        failure = {ExitFile,
                   UnreadText() +
                       QCoreApplication::translate(
                           "CCliSettings", " Без него укажите порт и скорость: --port и --baud.")};
        return false;
    }
    config = IsRead() ? m_settings.m_port : PortConfig{};
    if (m_port)
        config.portName = *m_port;
    if (m_baudIndex)
        config.baudIndex = *m_baudIndex;
    return true;
}

int CCliSettings::MessageCapacity() const
{
    const int maxSym = IsRead() ? m_settings.m_nMaxSym : AppSettings::kDefaultMaxSym;
    return CTavrixEditorDoc::CapacityFor(maxSym) - 1;
}

void CCliSettings::NoteDefaults(CConsole& console) const
{
    if (IsRead())
        return;
    console.Note(UnreadText() +
                 QCoreApplication::translate(
                     "CCliSettings", " Действуют настройки по умолчанию: сообщение до %1 байт.")
                     .arg(MessageCapacity()));
}
