#include "device/displaylist.h"

#include "device/networkport.h"
#include "device/serialport.h"
#include "settings/programlayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringConverter>
#include <QStringList>
#include <array>
#include <optional>

namespace
{

// The values each line setting may hold, at the list position PortConfig keeps.
const std::array<QString, 5> kDataWords = {QString(), QStringLiteral("5"), QStringLiteral("6"),
                                           QStringLiteral("7"), QStringLiteral("8")};
const std::array<QString, 3> kStopWords = {QStringLiteral("1"), QStringLiteral("1.5"),
                                           QStringLiteral("2")};
// parityIndex 0 is the parity bit present (sent as mark), 1 none.
const std::array<QString, 2> kParityWords = {QStringLiteral("mark"), QStringLiteral("none")};

const QByteArray kHeader =
    "# Табло tavrix-editor: по разделу на табло, значения линии, не номера.\n"
    "# port: ttyUSB0, COM1, tcp://ХОСТ:ПОРТ, rfc2217://ХОСТ:ПОРТ\n"
    "# baud: 110 ... 56000; data: 5-8; stop: 1, 1.5, 2; parity: none, mark\n";

template <std::size_t N> int IndexOf(const std::array<QString, N>& words, const QString& value)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (!words[i].isEmpty() && words[i] == value)
            return int(i);
    }
    return -1;
}

template <std::size_t N> QString Choices(const std::array<QString, N>& words)
{
    QStringList list;
    for (const QString& word : words) {
        if (!word.isEmpty())
            list << word;
    }
    return list.join(QStringLiteral(", "));
}

QString Word(const QString* words, std::size_t count, int index)
{
    return index >= 0 && std::size_t(index) < count ? words[index] : QString();
}

// A name is written between brackets on a line of its own and printed in tab-separated lines.
bool IsWritableName(const QString& name)
{
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c == u'[' || c == u']';
    });
}

// The section being read: the entry, where it began, what is wrong with it.
struct Section {
    DisplayEntry entry;
    int line = 0;
    QString fault;
    int faultLine = 0;
    QSet<QString> keys;
};

} // namespace

QString CDisplayList::DefaultPath(const QString& programDir)
{
    return QDir(ProgramLayout::Find(programDir).strSettingsDir)
        .filePath(QString::fromLatin1(kFileName));
}

bool CDisplayList::Load(const QString& path)
{
    m_error.clear();
    QFile file(path);
    if (!file.exists()) {
        Parse(QByteArray());
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QCoreApplication::translate("CDisplayList",
                                              "Не удается прочитать список табло «%1»: %2")
                      .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    Parse(file.readAll());
    return true;
}

bool CDisplayList::Save(const QString& path, Broken broken)
{
    m_error.clear();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(Bytes(broken)) >= 0 && file.commit())
        return true;
    m_error =
        QCoreApplication::translate("CDisplayList", "Не удается записать список табло «%1»: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

void CDisplayList::Parse(const QByteArray& bytes)
{
    m_entries.clear();
    m_problems.clear();
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        m_problems.append(
            {1, QString(),
             QCoreApplication::translate("CDisplayList", "Файл не в кодировке UTF-8."), QString()});
        return;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(u'\n');
    std::optional<Section> section;
    const auto close = [&](qsizetype end) {
        if (!section)
            return;
        if (section->fault.isEmpty()) {
            section->faultLine = section->line;
            section->fault =
                section->entry.config.portName.isEmpty()
                    ? QCoreApplication::translate("CDisplayList", "Не указан порт (port).")
                    : Refusal(section->entry);
        }
        if (section->fault.isEmpty()) {
            m_entries.append(section->entry);
        } else {
            QStringList raw = lines.mid(section->line - 1, end - section->line + 1);
            for (QString& line : raw)
                line.remove(u'\r');
            while (!raw.isEmpty() && raw.last().trimmed().isEmpty())
                raw.removeLast();
            m_problems.append({section->faultLine, section->entry.name, section->fault,
                               raw.join(u'\n'), section->entry});
        }
        section.reset();
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            close(i);
            section = Section{};
            section->line = i + 1;
            section->entry.config.portName.clear();
            section->entry.name = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        const QString key = line.left(std::max<qsizetype>(equals, 0)).trimmed().toLower();
        QString fault;
        if (equals <= 0)
            fault = QCoreApplication::translate("CDisplayList",
                                                "Строка не вида «ключ = значение»: «%1».")
                        .arg(line);
        else if (!section)
            fault = QCoreApplication::translate("CDisplayList",
                                                "Строка до первого раздела [имя табло].");
        else if (section->keys.contains(key))
            fault = QCoreApplication::translate("CDisplayList", "Ключ «%1» уже задан.").arg(key);
        else
            fault = Apply(section->entry, key, line.mid(equals + 1).trimmed());
        if (section)
            section->keys.insert(key);
        if (fault.isEmpty())
            continue;
        if (!section) {
            m_problems.append({i + 1, QString(), fault, QStringLiteral("# ") + line});
        } else if (section->fault.isEmpty()) {
            section->fault = fault;
            section->faultLine = i + 1;
        }
    }
    close(lines.size());
}

QString CDisplayList::Apply(DisplayEntry& entry, const QString& key, const QString& value) const
{
    PortConfig& config = entry.config;
    int index = -1;
    if (key == u"port") {
        config.portName = value;
        return value.isEmpty() ? QCoreApplication::translate("CDisplayList", "Пустой порт.")
                               : QString();
    }
    if (key == u"baud") {
        const QString why = BaudRefusal(value, index);
        config.baudIndex = index;
        return why;
    }
    if (key == u"data")
        index = config.dataBitsIndex = IndexOf(kDataWords, value);
    else if (key == u"stop")
        index = config.stopBitsIndex = IndexOf(kStopWords, value);
    else if (key == u"parity")
        index = config.parityIndex = IndexOf(kParityWords, value.toLower());
    else
        return QCoreApplication::translate(
                   "CDisplayList", "Неизвестный ключ «%1»; бывают port, baud, data, stop, parity.")
            .arg(key);
    if (index >= 0)
        return QString();
    const QString choices = key == u"data"   ? Choices(kDataWords)
                            : key == u"stop" ? Choices(kStopWords)
                                             : Choices(kParityWords);
    return QCoreApplication::translate("CDisplayList",
                                       "Значение %1 = %2 не поддерживается; возможны: %3.")
        .arg(key, value, choices);
}

QString CDisplayList::BaudRefusal(const QString& value, int& index)
{
    const QList<qint32> rates = CSerialPort::BaudRates();
    bool ok = false;
    index = int(rates.indexOf(value.toInt(&ok)));
    if (ok && index >= 0)
        return QString();
    index = -1;
    QStringList list;
    for (const qint32 rate : rates)
        list << QString::number(rate);
    return QCoreApplication::translate("CDisplayList",
                                       "Скорость «%1» не поддерживается; возможны: %2.")
        .arg(value, list.join(QStringLiteral(", ")));
}

QString CDisplayList::Refusal(const DisplayEntry& entry) const
{
    const QString& name = entry.name;
    const QString& word = entry.config.portName;
    if (name.trimmed().isEmpty())
        return QCoreApplication::translate("CDisplayList", "Пустое имя табло.");
    if (name != name.trimmed() || !IsWritableName(name))
        return QCoreApplication::translate(
                   "CDisplayList", "Имя табло «%1» не может начинаться или кончаться пробелом и "
                                   "содержать скобки [ ] или управляющие символы.")
            .arg(name);
    if (Find(name))
        return QCoreApplication::translate("CDisplayList", "Табло «%1» уже есть в списке.")
            .arg(name);
    if (CNetworkPort::IsNetworkWord(word) && !CNetworkPort::Parse(word))
        return CNetworkPort::MalformedText(word);
    if (!CSerialPort::IsStorablePortName(word))
        return QCoreApplication::translate(
                   "CDisplayList", "Неверное имя порта «%1»: нужно слово без пробелов, не длиннее "
                                   "%2 знаков.")
            .arg(word)
            .arg(CSerialPort::kMaxPortNameLength);
    const PortConfig& config = entry.config;
    if (config.baudIndex < 0 || config.baudIndex >= CSerialPort::BaudRates().size() ||
        IndexOf(kDataWords, Word(kDataWords.data(), kDataWords.size(), config.dataBitsIndex)) < 0 ||
        config.stopBitsIndex < 0 || config.stopBitsIndex >= int(kStopWords.size()) ||
        config.parityIndex < 0 || config.parityIndex >= int(kParityWords.size()))
        return QCoreApplication::translate("CDisplayList",
                                           "Настройки линии табло «%1» вне допустимых.")
            .arg(name);
    return QString();
}

const DisplayEntry* CDisplayList::Find(const QString& name) const
{
    for (const DisplayEntry& entry : m_entries) {
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

bool CDisplayList::Add(const DisplayEntry& entry, QString& why)
{
    why = Refusal(entry);
    if (!why.isEmpty())
        return false;
    m_entries.append(entry);
    return true;
}

bool CDisplayList::Put(int index, const DisplayEntry& entry, QString& why)
{
    if (index < 0 || index >= m_entries.size())
        return Add(entry, why);
    const DisplayEntry old = m_entries.takeAt(index);
    why = Refusal(entry);
    m_entries.insert(index, why.isEmpty() ? entry : old);
    return why.isEmpty();
}

bool CDisplayList::Remove(const QString& name)
{
    const DisplayEntry* entry = Find(name);
    if (!entry)
        return false;
    m_entries.removeAt(entry - m_entries.constData());
    return true;
}

QByteArray CDisplayList::Bytes(Broken broken) const
{
    QByteArray bytes = kHeader;
    for (const DisplayEntry& entry : m_entries) {
        const PortConfig& config = entry.config;
        bytes +=
            "\n[" + entry.name.toUtf8() + "]\nport = " + config.portName.toUtf8() +
            "\nbaud = " + QByteArray::number(CSerialPort::BaudRates().value(config.baudIndex)) +
            "\ndata = " +
            Word(kDataWords.data(), kDataWords.size(), config.dataBitsIndex).toUtf8() +
            "\nstop = " +
            Word(kStopWords.data(), kStopWords.size(), config.stopBitsIndex).toUtf8() +
            "\nparity = " +
            Word(kParityWords.data(), kParityWords.size(), config.parityIndex).toUtf8() + "\n";
    }
    for (const Problem& problem : m_problems) {
        if (broken == KeepBroken && !problem.raw.isEmpty())
            bytes += "\n" + problem.raw.toUtf8() + "\n";
    }
    return bytes;
}
