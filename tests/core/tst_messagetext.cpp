#include "editor/messagetext.h"

#include <QDataStream>
#include <QIODevice>
#include <QTest>

namespace
{

using Runs = QList<QPair<QString, quint32>>;

// The program's clipboard format as a copy of the program writes it: a count, then each run's
// text and colour.
QByteArray OwnFormat(const Runs& runs)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << quint32(runs.size());
    for (const auto& run : runs)
        stream << run.first << run.second;
    return bytes;
}

// Runs on one line: plain text as it is, a marked run as {colour text}, a control character other
// than a line break or tab as <hex>.
QString Show(const QList<MessageText::Run>& runs)
{
    const auto hex = [](uint value, int digits) {
        return QString::number(value, 16).toUpper().rightJustified(digits, u'0');
    };
    QString shown;
    for (const MessageText::Run& run : runs) {
        QString text;
        for (const QChar ch : run.text) {
            const bool control = ch.unicode() < 0x20 && ch != u'\n' && ch != u'\t';
            text += control ? u'<' + hex(ch.unicode(), 2) + u'>' : QString(ch);
        }
        if (run.color != 0 && !text.isEmpty())
            text = u'{' + hex(run.color, 6) + u' ' + text + u'}';
        shown += text;
    }
    return shown;
}

} // namespace

class TestMessageText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void paste_data();
    void paste();
};

// Each source as the edit control hands it over: plain text, the fragments of another program's
// rich text, the program's own format; then cut to the room the text limit leaves.
void TestMessageText::paste_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<Runs>("input");
    QTest::addColumn<int>("room");
    QTest::addColumn<QString>("pasted");
    const QString plain = QStringLiteral("plain");
    const QString fragments = QStringLiteral("fragments");
    const QString own = QStringLiteral("own");
    const auto row = [](const char* name, const QString& source, const Runs& input, int room,
                        const QString& pasted) {
        QTest::newRow(name) << source << input << room << pasted;
    };

    row("plain: lone CR and the separators", plain,
        {{QStringLiteral("a\rb") + QChar(0x2028) + u'c' + QChar(0x2029) + u'd', 0}}, 99,
        QStringLiteral("a\nb\nc\nd"));
    row("plain: DEL and object mark dropped, a symbol's character kept", plain,
        {{QStringLiteral("a\x7F") + QChar(0xFFFC) + QStringLiteral("€b"), 0}}, 99,
        QStringLiteral("a€b"));

    row("fragment: page colour on a letter", fragments, {{"m", 0xF70000}}, 99, "m");
    row("fragment: control colour kept on a code only", fragments, {{"xf3 ", 0xFF0000}}, 99,
        "x{FF0000 f3} ");

    row("own format: page colour on a letter", own, {{"m", 0xF70000}}, 99, "m");
    row("own format: page colour on the character of a plain byte", own,
        {{QString(QChar(0x18)) + "b", 0xF80000}}, 99, "b");
    row("own format: page colour on a line break", own, {{"a\nb", 0xFA0000}}, 99, "a\nb");
    row("own format: page colour on NUL", own, {{QString(QChar(0)) + "A", 0xF90000}}, 99, "A");
    row("own format: control colour on a code character", own,
        {{QString(QChar(1)) + "f3", 0xFF0000}}, 99, "{FF0000 f3}");
    row("own format: device symbol kept", own, {{QString(QChar(0x15)), 0xFA0000}, {"b", 0}}, 99,
        "{FA0000 <15>}b");
    row("own format: full stop, line break and symbol", own,
        {{"s5", 0xFF0000}, {"\n", 0}, {QString(QChar(0x1F)), 0xF70000}}, 99,
        "{FF0000 s5}\n{F70000 <1F>}");

    row("room: plain cut", own, {{"xyz", 0}}, 2, "xy");
    row("room: whole code", own, {{"x", 0}, {"f3", 0xFF0000}}, 3, "x{FF0000 f3}");
    row("room: code not split", own, {{"x", 0}, {"f3", 0xFF0000}}, 2, "x");
    row("room: none", own, {{"x", 0}}, 0, "");
    row("room: code not split across fragments", fragments, {{"f", 0xFF0000}, {"3", 0xFF0000}}, 1,
        "");
    row("room: cut after a whole code", own, {{"f3i4", 0xFF0000}}, 3, "{FF0000 f3}");
}

void TestMessageText::paste()
{
    QFETCH(QString, source);
    QFETCH(Runs, input);
    QFETCH(int, room);
    QList<MessageText::Run> runs;
    if (source == u"plain") {
        runs = MessageText::FromPlainText(input.value(0).first);
    } else if (source == u"fragments") {
        for (const auto& [text, color] : input)
            MessageText::AppendPasted(runs, text, color);
    } else {
        QList<MessageText::Run> copied;
        for (const auto& [text, color] : input)
            copied.append({text, color});
        QCOMPARE(MessageText::ToMimeData(copied).toHex(' '), OwnFormat(input).toHex(' '));
        runs = MessageText::FromMimeData(OwnFormat(input));
    }
    MessageText::CutToRoom(runs, room);
    QTEST(Show(runs), "pasted");
}

QTEST_GUILESS_MAIN(TestMessageText)
#include "tst_messagetext.moc"
