#include "editor/messagemarkup.h"

#include <QCoreApplication>

#include "editor/messagecodec.h"
#include "editor/messagetext.h"
#include "editor/streamcheck.h"
#include "settings/cp1251.h"

#include <optional>

namespace
{

// The digits each control letter takes. "v" 0 would read back as a full stop, and the effect
// list has five entries.
struct CodeRange {
    char letter;
    int low;
    int high;
};
constexpr CodeRange kCodeRanges[] = {
    {'f', 0, 9}, {'i', 0, 9}, {'v', 1, 9}, {'s', 1, 9}, {'e', 0, 4},
};

std::optional<CodeRange> RangeOf(QChar letter)
{
    for (const CodeRange& range : kCodeRanges) {
        if (letter == QLatin1Char(range.letter))
            return range;
    }
    return std::nullopt;
}

QString HexCode(quint8 byte)
{
    return QStringLiteral("{x") + QString::number(byte, 16).rightJustified(2, u'0').toUpper() +
           u'}';
}

// The friendly form of a code and its parameter, when it reads back to exactly these two bytes.
std::optional<QString> ControlMarkup(quint8 code, quint8 param)
{
    const bool stop = (param & 0x0F) == 0;
    const QChar letter =
        QLatin1Char(char(CMessageCodec::DecodeControl(CMessageCodec::Letter, code, stop)));
    const int digit = CMessageCodec::DecodeControl(CMessageCodec::Digit, param, stop);
    const std::optional<CodeRange> range = RangeOf(letter);
    if (!range || digit < range->low || digit > range->high)
        return std::nullopt;
    // After another code a parameter of 0x10 would read back as 1: such a pair stays raw.
    const bool reads = CMessageCodec::EncodeControl(CMessageCodec::Digit, char('0' + digit),
                                                    range->letter == 's') == param;
    return reads ? std::optional(QStringLiteral("{%1%2}").arg(letter).arg(digit)) : std::nullopt;
}

QString CharacterMarkup(quint8 byte)
{
    if (byte == '\n')
        return QStringLiteral("\n");
    if (byte == '{')
        return QStringLiteral("{{");
    if (byte == '\\')
        return QStringLiteral("\\\\");
    if (!MessageText::IsShownCharacter(byte))
        return HexCode(byte);
    return QString(Cp1251::ToUnicode(byte));
}

// Reads the markup left to right, appending stream bytes; stops at the first fault.
class CMarkupReader
{
public:
    // itemOf, when given, receives for each stream byte where its item begins in the markup.
    CMarkupReader(QStringView markup, QByteArray& stream, MessageMarkup::Error& error,
                  QList<qsizetype>* itemOf = nullptr)
        : m_text(markup), m_stream(stream), m_error(error), m_pItemOf(itemOf)
    {
    }

    bool Read()
    {
        while (m_pos < m_text.size()) {
            const qsizetype start = m_pos;
            const qsizetype before = m_stream.size();
            if (!ReadItem())
                return false;
            if (m_pItemOf)
                m_pItemOf->insert(m_pItemOf->size(), m_stream.size() - before, start);
        }
        return true;
    }

private:
    bool ReadItem()
    {
        const QChar ch = m_text[m_pos];
        if (ch == u'{')
            return ReadBrace();
        if (ch == u'\\') {
            ReadBackslash();
            return true;
        }
        if (ch == u'\n' || (ch == u'\r' && Peek(1) == u'\n')) {
            m_pos += ch == u'\r' ? 2 : 1;
            m_stream += '\n';
            return true;
        }
        return ReadCharacter();
    }

    QChar Peek(qsizetype ahead) const
    {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : QChar();
    }

    void ReadBackslash()
    {
        const QChar next = Peek(1);
        if (next == u'n') {
            m_stream += '\n';
            m_pos += 2;
        } else if (next == u'\\') {
            m_stream += '\\';
            m_pos += 2;
        } else {
            m_stream += '\\'; // a lone backslash ("C:\Temp") stands for itself
            ++m_pos;
        }
    }

    bool ReadBrace()
    {
        if (Peek(1) == u'{') {
            m_stream += '{';
            m_pos += 2;
            return true;
        }
        qsizetype end = m_pos + 1;
        while (end < m_text.size() && m_text[end].unicode() < 0x80 &&
               m_text[end].isLetterOrNumber())
            ++end;
        if (end >= m_text.size() || m_text[end] != u'}')
            return Fail(QCoreApplication::translate(
                "MessageMarkup", "фигурная скобка не закрыта (сама скобка пишется как "
                                 "«{{»)"));
        const QStringView body = m_text.sliced(m_pos + 1, end - m_pos - 1);
        const QString code = m_text.sliced(m_pos, end - m_pos + 1).toString();
        if (!body.isEmpty() && body[0] == u'x') {
            if (!ReadHex(body, code))
                return false;
        } else if (!ReadControl(body, code)) {
            return false;
        }
        m_pos = end + 1;
        return true;
    }

    bool ReadHex(QStringView body, const QString& code)
    {
        bool ok = false;
        const uint value = body.sliced(1).toUInt(&ok, 16);
        if (body.size() != 3 || !ok)
            return Fail(
                QCoreApplication::translate("MessageMarkup",
                                            "в коде «%1» после x нужны две шестнадцатеричные цифры")
                    .arg(code));
        m_stream += char(value);
        return true;
    }

    bool ReadControl(QStringView body, const QString& code)
    {
        const std::optional<CodeRange> range = body.isEmpty() ? std::nullopt : RangeOf(body[0]);
        if (!range)
            return Fail(
                QCoreApplication::translate("MessageMarkup", "неизвестный код «%1»").arg(code));
        if (body.size() != 2 || !body[1].isDigit())
            return Fail(QCoreApplication::translate("MessageMarkup",
                                                    "в коде «%1» после буквы нужна одна цифра")
                            .arg(code));
        const int digit = body[1].digitValue();
        if (digit < range->low || digit > range->high)
            return Fail(QCoreApplication::translate("MessageMarkup",
                                                    "в коде «%1» допустима цифра от %2 до %3")
                            .arg(code)
                            .arg(range->low)
                            .arg(range->high));
        const bool stop = range->letter == 's';
        m_stream += char(CMessageCodec::EncodeControl(CMessageCodec::Letter, range->letter, stop));
        m_stream +=
            char(CMessageCodec::EncodeControl(CMessageCodec::Digit, char('0' + digit), stop));
        return true;
    }

    bool ReadCharacter()
    {
        const QChar ch = m_text[m_pos];
        if (ch.isSurrogate() || (ch != u'?' && Cp1251::FromUnicode(ch) == '?')) {
            const char32_t code = ch.isHighSurrogate() && Peek(1).isLowSurrogate()
                                      ? QChar::surrogateToUcs4(ch, Peek(1))
                                      : ch.unicode();
            return Fail(
                QCoreApplication::translate("MessageMarkup",
                                            "символа «%1» (%2) нет в кодировке Windows-1251: табло "
                                            "его не покажет")
                    .arg(QString::fromUcs4(&code, 1), CodePoint(code)));
        }
        const quint8 byte = Cp1251::FromUnicode(ch);
        if (MessageText::IsDeviceSymbol(byte))
            return Fail(QCoreApplication::translate(
                            "MessageMarkup",
                            "символ «%1» (%2) табло покажет как символ устройства %3; "
                            "если он и нужен, напишите %3")
                            .arg(ch)
                            .arg(CodePoint(ch.unicode()), HexCode(byte)));
        if (!MessageText::IsShownCharacter(byte))
            return Fail(QCoreApplication::translate(
                            "MessageMarkup",
                            "управляющий символ %1 табло не покажет; если байт и нужен, "
                            "напишите %2")
                            .arg(CodePoint(ch.unicode()), HexCode(byte)));
        m_stream += char(byte);
        ++m_pos;
        return true;
    }

    static QString CodePoint(char32_t code)
    {
        return QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
    }

    bool Fail(const QString& text)
    {
        m_error = MessageMarkup::ErrorAt(m_text, m_pos, text);
        return false;
    }

    QStringView m_text;
    QByteArray& m_stream;
    MessageMarkup::Error& m_error;
    QList<qsizetype>* m_pItemOf;
    qsizetype m_pos = 0;
};

} // namespace

namespace MessageMarkup
{

QList<Item> Items(QByteArrayView stream)
{
    QList<Item> items;
    qsizetype i = 0;
    while (i < stream.size()) {
        const quint8 byte = quint8(stream[i]);
        Item item{i, 1, QString()};
        if (byte <= 0x03 && i + 1 < stream.size()) {
            const quint8 param = quint8(stream[i + 1]);
            item.length = 2;
            item.text = ControlMarkup(byte, param).value_or(HexCode(byte) + HexCode(param));
        } else if (byte <= 0x03) {
            item.text = HexCode(byte); // a code cut off from its parameter
        } else {
            item.text = CharacterMarkup(byte);
        }
        i += item.length;
        items << item;
    }
    return items;
}

QString ToMarkup(QByteArrayView stream)
{
    QString markup;
    for (const Item& item : Items(stream))
        markup += item.text;
    return markup;
}

bool FromMarkup(QStringView markup, QByteArray& stream, Error& error)
{
    stream.clear();
    return CMarkupReader(markup, stream, error).Read();
}

bool FromReadableMarkup(QStringView markup, QByteArray& stream, Error& error)
{
    stream.clear();
    QList<qsizetype> itemOf;
    if (!CMarkupReader(markup, stream, error, &itemOf).Read())
        return false;
    const std::optional<StreamCheck::Fault> fault = StreamCheck::FirstFault(stream);
    if (!fault)
        return true;
    error = ErrorAt(markup, itemOf[fault->offset], fault->text);
    return false;
}

Error ErrorAt(QStringView text, qsizetype index, const QString& message)
{
    Error error{1, 1, message};
    for (qsizetype i = 0; i < index; ++i) {
        if (text[i] == u'\n') {
            ++error.line;
            error.column = 1;
        } else if (!text[i].isLowSurrogate()) {
            ++error.column;
        }
    }
    return error;
}

QString Describe(const Error& error)
{
    return QCoreApplication::translate("MessageMarkup", "строка %1, позиция %2: %3")
        .arg(error.line)
        .arg(error.column)
        .arg(error.text);
}

} // namespace MessageMarkup
