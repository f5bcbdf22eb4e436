#include "editor/textsnapshot.h"
#include "editorfixture.h"
#include "samplestreams.h"
#include "streamfault.h"

#include <QClipboard>
#include <QMimeData>
#include <QRandomGenerator>

namespace
{

// The format the character at index is drawn with.
QTextCharFormat FormatAt(CInteractiveEditCtrl& edit, int index)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(index + 1);
    return cursor.charFormat();
}

// The editor's own clipboard format: runs of text, each with its marking colour.
QMimeData* MarkedMime(const QList<QPair<QString, quint32>>& runs)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << quint32(runs.size());
    for (const auto& run : runs)
        stream << run.first << run.second;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("application/x-tavrix-marked-text"), bytes);
    return data;
}

QMimeData* HtmlMime(const QString& html)
{
    auto* data = new QMimeData;
    data->setHtml(html);
    return data;
}

} // namespace

class TestInteractiveEditCtrl : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void typingAfterMarkedSymbolIsPlain_data();
    void typingAfterMarkedSymbolIsPlain();
    void getCharColor();
    void decodeAndEncode_data();
    void decodeAndEncode();
    void decodedContent();
    void largeMessagesComeBackWhole_data();
    void largeMessagesComeBackWhole();
    void decodingStopsAtTheLimit_data();
    void decodingStopsAtTheLimit();
    void typedGuillemetReadsBackAsSymbol();
    void roundTripOfGeneratedStreams();
    void copyPasteKeepsMarking();
    void foreignRichTextKeepsOnlyMarking();
    void plainPasteIsConverted();
    void pastedTextNeverEncodesStrayCodes();
    void snapshotEncodesAsTheControl();
    void encodingAfterANewTextReadsItsColours_data();
    void encodingAfterANewTextReadsItsColours();
    void limitRefusesTypingAndInsertion();
    void modifiedTypingTakesThePlainPath_data();
    void modifiedTypingTakesThePlainPath();
    void controlLettersStayShortcuts();
    void limitCutsPaste();
    void modifiedFollowsRealChanges();
};

void TestInteractiveEditCtrl::typingAfterMarkedSymbolIsPlain_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<int>("value");
    QTest::newRow("after f3") << 1u << int('f');
    QTest::newRow("after a page symbol") << 3u << 0x95;
}

void TestInteractiveEditCtrl::typingAfterMarkedSymbolIsPlain()
{
    QFETCH(uint, type);
    QFETCH(int, value);
    EditorFixture f;
    f.codec.CatchChar(type, quint8(value), 3);
    const int start = f.edit.GetTextLength();
    QTest::keyClicks(&f.edit, "ab");
    QCOMPARE(f.edit.GetTextLength(), start + 2);
    for (int i = start; i < start + 2; ++i) {
        QCOMPARE(f.edit.GetCharColor(i), 0u);
        QCOMPARE(FormatAt(f.edit, i).fontFamilies().toStringList(), QStringList{"Verdana"});
    }

    // The caret put back right after the symbol by a click: still plain.
    QTextCursor cursor = f.edit.textCursor();
    cursor.setPosition(start);
    f.edit.setTextCursor(cursor);
    QTest::keyClicks(&f.edit, "x");
    QCOMPARE(f.edit.GetCharColor(start), 0u);
    QVERIFY(f.edit.GetCharColor(start - 1) != 0u);
}

void TestInteractiveEditCtrl::getCharColor()
{
    EditorFixture f;
    f.Decode(Hex("41 00 03 0A B5"));
    QCOMPARE(f.edit.GetText(), Hex("41 66 33 0A 15"));
    QCOMPARE(f.edit.GetTextLength(), 5);
    // Reading leaves the user's selection (made right to left) and the typing format alone.
    QTextCursor cursor = f.edit.textCursor();
    cursor.setPosition(4);
    cursor.setPosition(1, QTextCursor::KeepAnchor);
    f.edit.setTextCursor(cursor);
    QList<uint> colors; // from -1 to the text length
    for (int i = -1; i <= 5; ++i)
        colors << f.edit.GetCharColor(i);
    QCOMPARE(colors, QList<uint>({0, 0, 0xFF0000, 0xFF0000, 0, 0xF70000, 0}));
    QCOMPARE(f.edit.textCursor().anchor(), 4);
    QCOMPARE(f.edit.textCursor().position(), 1);

    cursor.setPosition(5);
    f.edit.setTextCursor(cursor);
    QTextCharFormat bold = f.edit.m_cfNormal;
    bold.setFontWeight(QFont::Bold);
    f.edit.setCurrentCharFormat(bold);
    for (int i = 0; i <= 5; ++i)
        f.edit.GetCharColor(i);
    QCOMPARE(f.edit.textCursor().position(), 5);
    QVERIFY(!f.edit.textCursor().hasSelection());
    QCOMPARE(f.edit.currentCharFormat().fontWeight(), int(QFont::Bold));
}

void TestInteractiveEditCtrl::decodeAndEncode_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("two lines") << Hex("41 42 0A 43") << QByteArray("AB\nC") << Hex("41 42 0A 43");
    QTest::newRow("page symbols") << Hex("80 9F A0 BF") << Hex("10 1F 10 1F") << Hex("80 9F A0 BF");
    QTest::newRow("codes") << Hex("00 03 01 07 03 02 03 90 02 04") << QByteArray("f3i7v2s9e4")
                           << Hex("00 03 01 07 03 02 03 90 02 04");
    QTest::newRow("Io, numero, Cyrillic")
        << Hex("A8 B8 B9 C0 FF") << Hex("A8 B8 B9 C0 FF") << Hex("A8 B8 B9 C0 FF");
    QTest::newRow("0D skipped") << Hex("41 0D 0D 42") << QByteArray("AB") << QByteArray("AB");
    QTest::newRow("trailing bare code") << Hex("41 01") << QByteArray("A") << QByteArray("A");
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
}

void TestInteractiveEditCtrl::decodeAndEncode()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, encoded);
    EditorFixture f;
    QTest::keyClicks(&f.edit, "typed");
    f.Decode(stream);
    QCOMPARE(f.edit.GetText().toHex(' '), text.toHex(' '));
    QVERIFY(!f.doc.IsModified());

    // The caret starts at the top, as in any opened file; what is typed there is plain, even
    // before a marked symbol, and marks the document.
    QCOMPARE(f.edit.textCursor().position(), 0);
    QVERIFY(!f.edit.textCursor().hasSelection());
    QTest::keyClicks(&f.edit, "zy");
    QVERIFY(f.doc.IsModified());
    QCOMPARE(f.Encode().toHex(' '), ("zy" + encoded).toHex(' '));
}

// One stream with every kind of item; per character the expected byte, colour and face:
// '.' black Verdana, 'c' control blue, '0'–'3' the page blues (both Courier New), '-' the line
// break, which carries no format of its own.
void TestInteractiveEditCtrl::decodedContent()
{
    EditorFixture f;
    f.Decode(Hex("41 FF 00 03 01 07 02 04 03 05 03 90 03 00 0A 80 9F A0 AF B0 BF A8 B8 B9 AB 39"));
    const QByteArray text = Hex("41 FF 66 33 69 37 65 34 76 35 73 39 73 30 0A 10 1F 10 1F 10 1F"
                                " A8 B8 B9 1B 39");
    const QByteArray marks = "..cccccccccccc-012233...2.";
    QCOMPARE(f.edit.GetText().toHex(' '), text.toHex(' '));
    QCOMPARE(f.edit.toPlainText(), QString::fromUtf8("Aяf3i7e4v5s9s0\n\x10\x1F\x10\x1F\x10\x1F"
                                                     "Ёё№\x1B"
                                                     "9"));
    const QList<uint> colors = {0, 0xFF0000, 0xFA0000, 0xF90000, 0xF80000, 0xF70000};
    for (int i = 0; i < marks.size(); ++i) {
        const char mark = marks[i];
        const QByteArray where = "character " + QByteArray::number(i);
        const uint expected = mark == 'c'                  ? 0xFF0000u
                              : mark >= '0' && mark <= '3' ? colors[2 + mark - '0']
                                                           : 0u;
        QVERIFY2(f.edit.GetCharColor(i) == expected, where);
        if (mark == '-')
            continue;
        const QTextCharFormat format = FormatAt(f.edit, i);
        const QString face = mark == '.' ? "Verdana" : "Courier New";
        QVERIFY2(format.fontFamilies().toStringList() == QStringList{face}, where);
        QVERIFY2(format.foreground().color() ==
                     QColor(int(expected & 0xFF), int(expected >> 8 & 0xFF), int(expected >> 16)),
                 where);
    }
    QCOMPARE(f.edit.textCursor().position(), 0);
    QCOMPARE(f.edit.currentCharFormat().foreground().color(), QColor(Qt::black));
    QVERIFY(!f.doc.IsModified());
}

void TestInteractiveEditCtrl::largeMessagesComeBackWhole_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::newRow("2 KB in lines") << SampleStreams::Lines(2047);
    QTest::newRow("100 KB in lines") << SampleStreams::Lines(100000);
    QTest::newRow("1 MiB in lines") << SampleStreams::Lines(1048575);
    QTest::newRow("16 KB in one paragraph") << SampleStreams::Paragraph(16000);
}

// Sizes at which a step that grows with the square of the text would show as a hang.
void TestInteractiveEditCtrl::largeMessagesComeBackWhole()
{
    QFETCH(QByteArray, stream);
    EditorFixture f;
    f.settings.m_nMaxSym = int(stream.size()) + 1;
    f.doc.UpdateCapacity();
    f.edit.SetLimitText(f.doc.m_nCapacity);
    f.Decode(stream);
    QCOMPARE(f.edit.GetTextLength(), int(stream.size()));
    QCOMPARE(f.edit.textCursor().position(), 0);
    QVERIFY(!f.doc.IsModified());
    const QByteArray back = f.Encode();
    QCOMPARE(f.doc.m_nDropped, 0);
    if (back != stream) {
        qsizetype at = 0;
        while (at < back.size() && at < stream.size() && back[at] == stream[at])
            ++at;
        QFAIL(qPrintable(QStringLiteral("first difference at byte %1: %2 came back as %3")
                             .arg(at)
                             .arg(QString::fromLatin1(stream.mid(at, 8).toHex(' ')))
                             .arg(QString::fromLatin1(back.mid(at, 8).toHex(' ')))));
    }
}

void TestInteractiveEditCtrl::decodingStopsAtTheLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("code that does not fit") << 4 << Hex("61 62 63 00 03") << QByteArray("abc");
    QTest::newRow("nothing after it") << 4 << Hex("61 62 63 00 03 64") << QByteArray("abc");
    QTest::newRow("long parameter kept whole") << 5 << Hex("61 62 00 0C 63") << QByteArray("abf12");
    QTest::newRow("long parameter not cut") << 4 << Hex("61 62 00 0C 63") << QByteArray("ab");
    QTest::newRow("exactly full") << 5 << Hex("61 0A 02 04 80") << Hex("61 0A 65 34 10");
}

// The text keeps the whole first items that fit, like the stream the encoder keeps: a code is
// never cut in two, and nothing after the first item left out is shown.
void TestInteractiveEditCtrl::decodingStopsAtTheLimit()
{
    QFETCH(int, limit);
    QFETCH(QByteArray, stream);
    EditorFixture f;
    f.edit.SetLimitText(limit);
    f.Decode(stream);
    QTEST(f.edit.GetText(), "text");
    QCOMPARE(f.edit.GetLimitText(), limit);
}

void TestInteractiveEditCtrl::typedGuillemetReadsBackAsSymbol()
{
    EditorFixture f;
    QTest::keyClicks(&f.edit, QString(QChar(0x00AB)));
    QCOMPARE(f.Encode(), Hex("AB"));
    f.codec.DecodeDocument();
    QCOMPARE(f.edit.GetText(), Hex("1B"));
    QCOMPARE(f.edit.GetCharColor(0), 0xF80000u);
}

void TestInteractiveEditCtrl::roundTripOfGeneratedStreams()
{
    EditorFixture f;
    QRandomGenerator random(77);
    for (int n = 0; n < 100; ++n) {
        QByteArray stream;
        for (int items = random.bounded(1, 300); items > 0; --items) {
            const int kind = random.bounded(8);
            if (kind < 4) {
                int byte;
                do {
                    byte = random.bounded(0x04, 0x100);
                } while (byte == 0x0A || byte == 0x0D);
                stream += char(byte);
            } else if (kind < 7) {
                const int code = random.bounded(4);
                stream += char(code);
                stream +=
                    char(code == 3 && kind == 6 ? random.bounded(10) << 4 : random.bounded(1, 10));
            } else {
                stream += '\n';
            }
        }
        f.Decode(stream);
        const QByteArray back = f.Encode();
        if (back != stream)
            QFAIL(qPrintable("stream " + stream.toHex(' ') + " came back as " + back.toHex(' ')));
    }
}

// A device symbol, a control code, a full stop and a line break.
void TestInteractiveEditCtrl::copyPasteKeepsMarking()
{
    const QByteArray stream = Hex("41 85 42 00 03 03 50 0A BF");
    EditorFixture f;
    f.Decode(stream);
    f.edit.selectAll();
    f.edit.copy();
    f.edit.moveCursor(QTextCursor::End);
    f.edit.paste();
    QCOMPARE(f.Encode().toHex(' '), (stream + stream).toHex(' '));

    f.edit.selectAll();
    f.edit.cut();
    QCOMPARE(f.edit.GetTextLength(), 0);
    f.edit.paste();
    QCOMPARE(f.Encode().toHex(' '), (stream + stream).toHex(' '));
}

void TestInteractiveEditCtrl::foreignRichTextKeepsOnlyMarking()
{
    EditorFixture f;
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<p><span style='color:#0000ff; font-family:Arial'>f3</span>"
                                 "<b style='color:#ff0000; font-size:30pt'>x</b>"
                                 "<span style='color:#0000fe'>i4</span></p><p>y</p>"));
    data->setText(QStringLiteral("f3xi4\ny"));
    QApplication::clipboard()->setMimeData(data);
    f.edit.paste();
    QCOMPARE(f.Encode(), Hex("00 03 78 69 34 0A 79"));
    for (int i = 2; i < 7; ++i) {
        const QTextCharFormat format = FormatAt(f.edit, i);
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{"Verdana"});
        QCOMPARE(format.fontWeight(), int(QFont::Normal));
        QVERIFY(!format.hasProperty(QTextFormat::FontPointSize));
    }
}

void TestInteractiveEditCtrl::plainPasteIsConverted()
{
    EditorFixture f;
    QApplication::clipboard()->setText(QString::fromUtf8("a\r\nb\tc\x01中Ж"));
    f.edit.paste();
    QCOMPARE(f.edit.toPlainText(), QString::fromUtf8("a\nb\tc?Ж")); // shown as it will be sent
    QCOMPARE(f.Encode(), Hex("61 0A 62 09 63 3F C6"));
}

void TestInteractiveEditCtrl::pastedTextNeverEncodesStrayCodes()
{
    const QList<quint32> colors{0, 0xFF0000, 0xFA0000, 0xF90000, 0xF80000, 0xF70000, 0x123456};
    const QString pool = QStringLiteral("Жё«€中") + QChar(0x2028) + QChar(0x2029);
    QRandomGenerator random(11);
    EditorFixture f;
    for (int n = 0; n < 200; ++n) {
        QList<QPair<QString, quint32>> runs;
        QString html;
        for (int r = random.bounded(1, 6); r > 0; --r) {
            QString text;
            for (int c = random.bounded(1, 8); c > 0; --c) {
                const int pick = random.bounded(pool.size() + 128);
                text += pick < pool.size() ? pool[pick] : QChar(char16_t(pick - pool.size()));
            }
            const quint32 color = colors[random.bounded(colors.size())];
            runs.append({text, color});
            html += QStringLiteral("<span style=\"color:#%1%2%3\">%4</span>")
                        .arg(color & 0xFF, 2, 16, QChar(u'0'))
                        .arg((color >> 8) & 0xFF, 2, 16, QChar(u'0'))
                        .arg(color >> 16, 2, 16, QChar(u'0'))
                        .arg(text.toHtmlEscaped());
        }
        for (QMimeData* data : {MarkedMime(runs), HtmlMime(html)}) {
            f.edit.clear();
            QApplication::clipboard()->setMimeData(data);
            f.edit.paste();
            const QByteArray stream = f.Encode();
            const QString fault = StreamFault(stream, f.edit.GetText());
            if (!fault.isEmpty())
                QFAIL(qPrintable(fault + " in " + stream.toHex(' ') + " from " + html));
        }
    }
}

// Saving, sending and the lower pane encode a copy of the text: for any text the copy must give
// the very stream, and the very shortfall, that reading each colour from the control gives.
void TestInteractiveEditCtrl::snapshotEncodesAsTheControl()
{
    const QList<quint32> colors{0, 0xFF0000, 0xFA0000, 0xF90000, 0xF80000, 0xF70000, 0x123456};
    const QString pool = QStringLiteral("efisv0123456789\nЖё«") + QChar(0x10) + QChar(0x1F) +
                         QChar(0x2028) + QChar(0x2029);
    QRandomGenerator random(23);
    EditorFixture f;
    for (int n = 0; n < 200; ++n) {
        QByteArray stream;
        for (int items = random.bounded(0, 40); items > 0; --items) {
            const int kind = random.bounded(7);
            if (kind < 4) {
                stream += char(kind);
                stream += char(random.bounded(1, 10));
            } else {
                stream += kind == 4 ? '\n' : char(random.bounded(kind == 5 ? 0x04 : 0x80, 0xC0));
            }
        }
        f.Decode(stream);
        // Pasted runs in any colour, anywhere: marking that the decoder itself never makes.
        QList<QPair<QString, quint32>> runs;
        for (int r = random.bounded(0, 5); r > 0; --r) {
            QString text;
            for (int c = random.bounded(1, 6); c > 0; --c)
                text += pool[random.bounded(pool.size())];
            runs.append({text, colors[random.bounded(colors.size())]});
        }
        f.edit.SetSel(random.bounded(f.edit.GetTextLength() + 1), -1);
        QApplication::clipboard()->setMimeData(MarkedMime(runs));
        f.edit.paste();

        const CTextSnapshot snapshot = f.edit.Snapshot();
        QCOMPARE(snapshot.GetText(), f.edit.GetText());
        for (const int capacity : {1 << 20, random.bounded(1, 60)}) {
            QByteArray live(capacity, '\0');
            QByteArray copied(capacity, '\0');
            int liveDropped = -1;
            int copiedDropped = -1;
            live.truncate(CMessageCodec::EncodeInto(f.edit, reinterpret_cast<quint8*>(live.data()),
                                                    capacity, liveDropped));
            copied.truncate(CMessageCodec::EncodeInto(
                snapshot, reinterpret_cast<quint8*>(copied.data()), capacity, copiedDropped));
            if (copied != live || copiedDropped != liveDropped)
                QFAIL(qPrintable(QStringLiteral("capacity %1: the copy gave %2 (%3 dropped), the "
                                                "control %4 (%5 dropped)")
                                     .arg(capacity)
                                     .arg(QString::fromLatin1(copied.toHex(' ')))
                                     .arg(copiedDropped)
                                     .arg(QString::fromLatin1(live.toHex(' ')))
                                     .arg(liveDropped)));
        }
    }
}

void TestInteractiveEditCtrl::encodingAfterANewTextReadsItsColours_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("codes, then plain letters after an empty line")
        << Hex("0001 0001") << Hex("0a 66 37 32");
    QTest::newRow("symbols, then plain characters 10-12")
        << Hex("80 81 82 83") << Hex("0a 10 11 12");
    QTest::newRow("plain text, then symbols") << Hex("41 42 43 44") << Hex("0a 80 81 82");
    QTest::newRow("codes, then codes") << Hex("0a 0001 0002") << Hex("0a 0a 0003 0004");
}

// The control remembers where it last found a colour; a new text must never be read with what
// it remembered of the old one, even where a line break comes first.
void TestInteractiveEditCtrl::encodingAfterANewTextReadsItsColours()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    EditorFixture f;
    f.Decode(before);
    QCOMPARE(f.Encode().toHex(' '), before.toHex(' '));
    f.Decode(after);
    QCOMPARE(f.Encode().toHex(' '), after.toHex(' '));
}

void TestInteractiveEditCtrl::limitRefusesTypingAndInsertion()
{
    EditorFixture f;
    f.edit.SetLimitText(5);
    QTest::keyClicks(&f.edit, "abcdefg");
    QCOMPARE(f.edit.GetText(), QByteArray("abcde"));
    QTest::keyClick(&f.edit, Qt::Key_Return);
    QCOMPARE(f.edit.GetTextLength(), 5);

    // Typing over a selection needs no room beyond what it replaces.
    f.edit.SetSel(0, 2);
    QTest::keyClicks(&f.edit, "X");
    QCOMPARE(f.edit.GetText(), QByteArray("Xcde"));

    // An insertion goes in whole or not at all: room for one character.
    f.edit.moveCursor(QTextCursor::End);
    f.codec.CatchChar(1, 'f', 3);
    QCOMPARE(f.edit.GetText(), QByteArray("Xcde"));
    f.codec.CatchChar(2, 0x85, 0);
    QCOMPARE(f.Encode(), Hex("58 63 64 65 85"));

    // A decoded stream longer than the limit stops at an item boundary.
    f.edit.SetLimitText(4);
    f.Decode(Hex("61 62 63 00 03"));
    QCOMPARE(f.edit.GetText(), QByteArray("abc"));
}

namespace
{
void Type(CInteractiveEditCtrl& edit, Qt::Key key, Qt::KeyboardModifiers mods, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&edit, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(&edit, &release);
}
} // namespace

void TestInteractiveEditCtrl::modifiedTypingTakesThePlainPath_data()
{
    QTest::addColumn<int>("mods");
    QTest::newRow("alt") << int(Qt::AltModifier);
    QTest::newRow("altgr as ctrl+alt") << int(Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("shift+altgr") << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("altgr key") << int(Qt::GroupSwitchModifier);
}

void TestInteractiveEditCtrl::modifiedTypingTakesThePlainPath()
{
    QFETCH(int, mods);
    EditorFixture f;
    f.edit.SetLimitText(3);
    // U+0111 has no Windows-1251 byte; U+00E9 neither.
    Type(f.edit, Qt::Key_D, Qt::KeyboardModifiers(mods), QString(QChar(0x0111)));
    QCOMPARE(f.edit.toPlainText(), QString("?"));
    Type(f.edit, Qt::Key_E, Qt::KeyboardModifiers(mods), QString(QChar(0x00E9)));
    Type(f.edit, Qt::Key_F, Qt::KeyboardModifiers(mods), "f");
    QCOMPARE(f.edit.toPlainText(), QString("??f"));
    Type(f.edit, Qt::Key_G, Qt::KeyboardModifiers(mods), "g");
    QCOMPARE(f.edit.toPlainText(), QString("??f"));
    QCOMPARE(f.edit.GetTextLength(), 3);
}

void TestInteractiveEditCtrl::controlLettersStayShortcuts()
{
    EditorFixture f;
    QTest::keyClicks(&f.edit, "abc");
    // Even when the platform hands the letter along, Ctrl+A selects rather than types.
    Type(f.edit, Qt::Key_A, Qt::ControlModifier, "a");
    QCOMPARE(f.edit.toPlainText(), QString("abc"));
    QCOMPARE(f.edit.textCursor().selectedText(), QString("abc"));
    Type(f.edit, Qt::Key_C, Qt::ControlModifier, "c");
    QCOMPARE(QApplication::clipboard()->text(), QString("abc"));
    Type(f.edit, Qt::Key_X, Qt::MetaModifier, "x");
    QCOMPARE(f.edit.toPlainText(), QString("abc"));
}

// The room is what the limit leaves beside the text: here two characters, so the code after "x"
// stays out rather than lose its digit.
void TestInteractiveEditCtrl::limitCutsPaste()
{
    EditorFixture f;
    f.Decode(Hex("78 00 03"));
    f.edit.selectAll();
    f.edit.copy();
    f.Decode("1234");
    f.edit.SetLimitText(6);
    f.edit.moveCursor(QTextCursor::End);
    f.edit.paste();
    QCOMPARE(f.Encode().toHex(' '), Hex("31 32 33 34 78").toHex(' '));
}

void TestInteractiveEditCtrl::modifiedFollowsRealChanges()
{
    EditorFixture f;
    QTest::keyClicks(&f.edit, "ab");
    QVERIFY(f.doc.IsModified());
    QVERIFY(f.doc.OnSaveDocument(f.dir.filePath("saved.tvd")));
    QVERIFY(!f.doc.IsModified());

    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Up})
        QTest::keyClick(&f.edit, key);
    QTest::keyClick(&f.edit, Qt::Key_Left, Qt::ShiftModifier); // select
    f.edit.copy();
    f.edit.resize(200, 500);
    f.edit.setFont(QFont(QStringLiteral("Courier New"), 20));
    QVERIFY(!f.doc.IsModified());

    QTest::keyClick(&f.edit, Qt::Key_Home);
    QTest::keyClick(&f.edit, Qt::Key_Backspace); // nothing before the caret
    QVERIFY(!f.doc.IsModified());
    QTest::keyClick(&f.edit, Qt::Key_Delete);
    QVERIFY(f.doc.IsModified());
}

QTEST_MAIN(TestInteractiveEditCtrl)
#include "tst_interactiveeditctrl.moc"
