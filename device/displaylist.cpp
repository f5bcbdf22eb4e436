#include "device/displaylist.h"

#include "device/networkport.h"
#include "device/serialport.h"
#include "settings/programlayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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
// The old key, still read: parityIndex 0 was written "mark", 1 "none".
const std::array<QString, 2> kParityWords = {QStringLiteral("mark"), QStringLiteral("none")};
// Every character goes out with a mark parity bit whatever parityIndex says; it only switches
// the check of received characters, which is on for 1 ("Нет") and off for 0 ("Есть").
const std::array<QString, 2> kParityCheckWords = {QStringLiteral("off"), QStringLiteral("on")};
const QString kParityCheckKey = QStringLiteral("parity-check");

const QByteArray kHeader =
    "# Табло tavrix-editor: по разделу на табло, значения линии, не номера.\n"
    "# port: ttyUSB0, COM1, tcp://ХОСТ:ПОРТ, rfc2217://ХОСТ:ПОРТ\n"
    "# baud: 110 ... 56000; data: 5-8; stop: 1, 1.5, 2; parity-check: on, off\n"
    "# (бит четности всегда передается единицей, mark)\n";

const QByteArray kBom = "\xEF\xBB\xBF";

// The bytes split after each LF, every line keeping its own end.
QList<QByteArray> Lines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', from);
        const qsizetype to = end < 0 ? bytes.size() : end + 1;
        lines << bytes.mid(from, to - from);
        from = to;
    }
    return lines;
}

// The old parity key and its successor name one setting.
QString KeyOf(const QString& key)
{
    return key == u"parity" ? kParityCheckKey : key;
}

QByteArray LineEnd(const QByteArray& line)
{
    return line.endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
}

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

// A port word in a message, its control characters made visible: a lone CR would otherwise
// show "ttyUSB0\r1" as the valid-looking ttyUSB01.
QString Visible(const QString& word)
{
    QString shown;
    for (const QChar c : word) {
        if (c == u'\r')
            shown += QStringLiteral("\\r");
        else if (c == u'\t')
            shown += QStringLiteral("\\t");
        else if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else
            shown += c;
    }
    return shown;
}

// The section being read: the entry, where it began, what is wrong with it.
struct Section {
    DisplayEntry entry;
    int line = 0;           // 1-based, of its name
    qsizetype lastLine = 0; // 1-based, of its last key line
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
    m_entryKeys.clear();
    m_problems.clear();
    m_problemKeys.clear();
    m_pieces.clear();
    if (bytes.isEmpty())
        return;
    // Stateless: a sequence cut short at the end of the file is an error too, not left pending.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString whole = decoder.decode(bytes); // only to learn whether it is UTF-8
    if (decoder.hasError()) {
        // Kept whole, so that nothing written over it can lose it.
        m_pieces.append({bytes, 0, {}});
        m_problems.append(
            {1, QString(),
             QCoreApplication::translate("CDisplayList", "Файл не в кодировке UTF-8."), QString(),
             std::nullopt});
        m_problemKeys.append(0);
        return;
    }
    // Each line with its own end, so that what is kept is kept byte for byte (a lone CR too).
    const QList<QByteArray> chunks = Lines(bytes);
    QStringList lines;
    for (const QByteArray& chunk : chunks)
        lines << QString::fromUtf8(chunk);
    if (lines[0].startsWith(QChar(0xFEFF)))
        lines[0].remove(0, 1);
    const auto join = [&chunks](qsizetype from, qsizetype to) {
        QByteArray joined;
        for (qsizetype i = from; i < to; ++i)
            joined += chunks[i];
        return joined;
    };
    qsizetype textFrom = 0; // the first line not yet in a piece
    const auto addText = [&](qsizetype to) {
        if (to > textFrom)
            m_pieces.append({join(textFrom, to), 0, {}});
        textFrom = std::max(textFrom, to);
    };
    const auto addProblem = [&](const Problem& problem, qsizetype from, qsizetype to) {
        addText(from);
        m_problems.append(problem);
        m_problemKeys.append(m_nextKey);
        m_pieces.append({join(from, to), m_nextKey++, {}});
        textFrom = to;
    };
    std::optional<Section> section;
    const auto close = [&]() {
        if (!section)
            return;
        if (section->fault.isEmpty()) {
            section->faultLine = section->line;
            section->fault =
                section->entry.config.portName.isEmpty()
                    ? QCoreApplication::translate("CDisplayList", "Не указан порт (port).")
                    : Refusal(section->entry);
        }
        // The section ends at its last key line: the comments after it stay when it goes.
        const qsizetype from = section->line - 1;
        const qsizetype to = section->lastLine;
        if (section->fault.isEmpty()) {
            addText(from);
            m_entries.append(section->entry);
            m_entryKeys.append(m_nextKey);
            m_pieces.append({join(from, to), m_nextKey++, section->entry});
            textFrom = to;
        } else {
            QStringList raw = lines.mid(from, to - from);
            for (QString& line : raw) {
                if (line.endsWith(u'\n'))
                    line.chop(1);
                if (line.endsWith(u'\r'))
                    line.chop(1);
            }
            addProblem({section->faultLine, section->entry.name, section->fault, raw.join(u'\n'),
                        section->entry},
                       from, to);
        }
        section.reset();
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            close();
            section = Section{};
            section->line = int(i + 1);
            section->lastLine = i + 1;
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
        else if (section->keys.contains(KeyOf(key)))
            fault = QCoreApplication::translate("CDisplayList", "Ключ «%1» уже задан.").arg(key);
        else
            fault = Apply(section->entry, key, line.mid(equals + 1).trimmed());
        if (!section) {
            addProblem({int(i + 1), QString(), fault, line, std::nullopt}, i, i + 1);
            continue;
        }
        section->keys.insert(KeyOf(key));
        section->lastLine = i + 1;
        if (!fault.isEmpty() && section->fault.isEmpty()) {
            section->fault = fault;
            section->faultLine = int(i + 1);
        }
    }
    close();
    addText(lines.size());
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
    else if (key == kParityCheckKey)
        index = config.parityIndex = IndexOf(kParityCheckWords, value.toLower());
    else
        return QCoreApplication::translate(
                   "CDisplayList",
                   "Неизвестный ключ «%1»; бывают port, baud, data, stop, parity-check.")
            .arg(key);
    if (index >= 0)
        return QString();
    const QString choices = key == u"data"     ? Choices(kDataWords)
                            : key == u"stop"   ? Choices(kStopWords)
                            : key == u"parity" ? Choices(kParityWords)
                                               : Choices(kParityCheckWords);
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
    // Both would only fail when the port is opened: no device is named with quotes, and a
    // number with a leading zero names no port the system knows (COM01) or is read otherwise.
    static const QRegularExpression comZero(QStringLiteral("^COM0[0-9]*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression networkZero(QStringLiteral(":0[0-9]*$"));
    if (word.startsWith(u'"') || word.startsWith(u'\'') || word.endsWith(u'"') ||
        word.endsWith(u'\''))
        return QCoreApplication::translate("CDisplayList",
                                           "Порт «%1» записан в кавычках: пишется без них.")
            .arg(word);
    if (comZero.match(word).hasMatch() ||
        (CNetworkPort::IsNetworkWord(word) && networkZero.match(word).hasMatch()))
        return QCoreApplication::translate("CDisplayList",
                                           "Номер порта в «%1» начинается с нуля: пишется без "
                                           "него.")
            .arg(word);
    if (!CSerialPort::IsStorablePortName(word))
        return QCoreApplication::translate(
                   "CDisplayList", "Неверное имя порта «%1»: нужно слово без пробелов, не длиннее "
                                   "%2 знаков.")
            .arg(Visible(word))
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
    m_entryKeys.append(m_nextKey++);
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
    const qsizetype index = entry - m_entries.constData();
    m_entries.removeAt(index);
    m_entryKeys.removeAt(index);
    return true;
}

void CDisplayList::RemoveProblem(int index)
{
    m_problems.removeAt(index);
    m_problemKeys.removeAt(index);
}

int CDisplayList::Mend(int index, const DisplayEntry& entry, QString& why)
{
    why = index >= 0 && index < m_problems.size() ? Refusal(entry) : QStringLiteral("?");
    if (!why.isEmpty())
        return -1;
    const int key = m_problemKeys[index];
    RemoveProblem(index);
    qsizetype at = 0; // the good entries written before it keep their places in the list
    for (Piece& piece : m_pieces) {
        if (piece.key != key) {
            at += m_entryKeys.contains(piece.key) ? 1 : 0;
            continue;
        }
        // What made it broken may be any of its lines: only its name line and comments stay.
        QByteArray kept;
        const QList<QByteArray> lines = Lines(piece.bytes);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            if (i == 0 || line.isEmpty() || line.startsWith('#') || line.startsWith(';'))
                kept += lines[i];
        }
        piece.bytes = kept;
        piece.read = {};
        break;
    }
    m_entries.insert(at, entry);
    m_entryKeys.insert(at, key);
    return int(at);
}

QByteArray CDisplayList::Bytes(Broken broken) const
{
    QByteArray bytes = m_pieces.isEmpty() ? kHeader : QByteArray();
    for (const Piece& piece : m_pieces) {
        if (piece.key == 0) {
            bytes += piece.bytes;
        } else if (const qsizetype entry = m_entryKeys.indexOf(piece.key); entry >= 0) {
            bytes += m_entries[entry] == piece.read ? piece.bytes
                                                    : Rewritten(piece, m_entries[entry], "\n");
        } else if (broken == KeepBroken && m_problemKeys.contains(piece.key)) {
            bytes += piece.bytes;
        }
    }
    const QByteArray end = LineEnd(Lines(bytes).value(0));
    const bool read = !m_pieces.isEmpty();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (read && std::any_of(m_pieces.begin(), m_pieces.end(),
                                [&](const Piece& piece) { return piece.key == m_entryKeys[i]; }))
            continue;
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes += end;
        bytes += end + Rewritten({QByteArray(), 0, {}}, m_entries[i], end);
    }
    return bytes;
}

// The entry's lines with its values: a section as read keeps its comments, the order of its
// keys and their line ends; a key it lacked follows its last one.
QByteArray CDisplayList::Rewritten(const Piece& piece, const DisplayEntry& entry,
                                   QByteArray end) const
{
    const PortConfig& config = entry.config;
    const QList<std::pair<QString, QString>> values = {
        {QStringLiteral("port"), config.portName},
        {QStringLiteral("baud"), QString::number(CSerialPort::BaudRates().value(config.baudIndex))},
        {QStringLiteral("data"), Word(kDataWords.data(), kDataWords.size(), config.dataBitsIndex)},
        {QStringLiteral("stop"), Word(kStopWords.data(), kStopWords.size(), config.stopBitsIndex)},
        {kParityCheckKey,
         Word(kParityCheckWords.data(), kParityCheckWords.size(), config.parityIndex)}};
    const auto keyLine = [](const QString& key, const QString& value) {
        return (key + QStringLiteral(" = ") + value).toUtf8();
    };
    QByteArray bytes;
    QSet<QString> written;
    for (QByteArray chunk : Lines(piece.bytes)) {
        if (chunk.endsWith('\n'))
            end = LineEnd(chunk);
        if (chunk.startsWith(kBom)) { // the file's first line
            bytes += kBom;
            chunk.remove(0, kBom.size());
        }
        const QString line = QString::fromUtf8(chunk).trimmed();
        const QString key = KeyOf(line.section(u'=', 0, 0).trimmed().toLower());
        const auto value = std::find_if(values.begin(), values.end(),
                                        [&key](const auto& pair) { return pair.first == key; });
        if (line.startsWith(u'[') && line.endsWith(u']'))
            bytes += '[' + entry.name.toUtf8() + ']' + end;
        else if (line.contains(u'=') && value != values.end() && !written.contains(key)) {
            bytes += keyLine(key, value->second) + end;
            written.insert(key);
        } else {
            bytes += chunk.endsWith('\n') ? chunk : chunk + end;
        }
    }
    if (bytes.isEmpty())
        bytes = '[' + entry.name.toUtf8() + ']' + end;
    for (const auto& [key, value] : values) {
        if (!written.contains(key))
            bytes += keyLine(key, value) + end;
    }
    return bytes;
}
