#include "editor/interactiveeditctrl.h"
#include "editor/messagecodec.h"
#include "editor/tavrixeditordoc.h"
#include "fakeprompt.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace
{

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes += char(value);
    return bytes;
}

} // namespace

class TestInteractiveEditCtrl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void typingAfterMarkedSymbolIsPlain_data();
    void typingAfterMarkedSymbolIsPlain();
    void getCharColor_data();
    void getCharColor();
    void getCharColorLeavesSelectionAndTypingFormat();
    void decodeAndEncode_data();
    void decodeAndEncode();
    void typedGuillemetReadsBackAsSymbol();
    void roundTripOfGeneratedStreams();
    void copyPasteKeepsMarking_data();
    void copyPasteKeepsMarking();
    void foreignRichTextKeepsOnlyMarking();
    void plainPasteIsConverted();
    void limitRefusesTyping();
    void limitCutsPaste_data();
    void limitCutsPaste();
    void limitRefusesInsertion();
    void modifiedFollowsRealChanges();
    void undoKeysDoNothing_data();
    void undoKeysDoNothing();
    void decodeLeavesDocumentUnmodified();
    void clipboardQueries();

private:
    QByteArray Stream() const;
    void Decode(const QByteArray& stream);
    QByteArray EncodeNow();
    void Paste(QMimeData* data);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakePrompt> m_settingsPrompt;
    std::unique_ptr<AppSettings> m_settings;
    FakePrompt m_prompt;
    std::unique_ptr<CTavrixEditorDoc> m_doc;
    std::unique_ptr<CInteractiveEditCtrl> m_edit;
    std::unique_ptr<CMessageCodec> m_codec;
};

void TestInteractiveEditCtrl::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settingsPrompt = std::make_unique<FakePrompt>();
    m_settings = std::make_unique<AppSettings>(*m_settingsPrompt, m_dir->path());
    m_settings->m_nMaxSym = 2048;
    m_doc = std::make_unique<CTavrixEditorDoc>(*m_settings, m_prompt);
    m_edit = std::make_unique<CInteractiveEditCtrl>();
    m_edit->resize(400, 300);
    m_edit->show();
    m_codec = std::make_unique<CMessageCodec>(*m_edit, m_prompt);
    m_edit->SetDocument(m_doc.get());
    m_codec->SetDocument(m_doc.get());
}

void TestInteractiveEditCtrl::cleanup()
{
    m_codec.reset();
    m_edit.reset();
    m_doc.reset();
    m_settings.reset();
    m_dir.reset();
}

QByteArray TestInteractiveEditCtrl::Stream() const
{
    return QByteArray(reinterpret_cast<const char*>(m_doc->m_pData.get()), m_doc->m_nLength);
}

void TestInteractiveEditCtrl::Decode(const QByteArray& stream)
{
    std::copy(stream.cbegin(), stream.cend(), m_doc->m_pData.get());
    m_doc->m_nLength = int(stream.size());
    m_codec->DecodeDocument();
}

QByteArray TestInteractiveEditCtrl::EncodeNow()
{
    m_codec->EncodeText();
    return Stream();
}

void TestInteractiveEditCtrl::Paste(QMimeData* data)
{
    QApplication::clipboard()->setMimeData(data);
    m_edit->paste();
}

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
    m_codec->CatchChar(type, quint8(value), 3);
    const int start = m_edit->GetTextLength();
    QTest::keyClicks(m_edit.get(), "ab");
    QCOMPARE(m_edit->GetTextLength(), start + 2);
    for (int i = start; i < start + 2; ++i) {
        QCOMPARE(m_edit->GetCharColor(i), 0u);
        QTextCursor cursor(m_edit->document());
        cursor.setPosition(i + 1);
        QCOMPARE(cursor.charFormat().fontFamilies().toStringList(), QStringList{"Verdana"});
    }

    // The caret put back right after the symbol by a click: still plain.
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(start);
    m_edit->setTextCursor(cursor);
    QTest::keyClicks(m_edit.get(), "x");
    QCOMPARE(m_edit->GetCharColor(start), 0u);
    QVERIFY(m_edit->GetCharColor(start - 1) != 0u);
}

void TestInteractiveEditCtrl::getCharColor_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<uint>("color");

    // "Af3" / line break / page-B0 symbol
    QTest::newRow("plain") << 0 << 0u;
    QTest::newRow("control letter") << 1 << 0xFF0000u;
    QTest::newRow("line break") << 3 << 0u;
    QTest::newRow("last character") << 4 << 0xF70000u;
    QTest::newRow("text length") << 5 << 0u;
    QTest::newRow("negative") << -1 << 0u;
}

void TestInteractiveEditCtrl::getCharColor()
{
    QFETCH(int, index);
    QFETCH(uint, color);
    Decode(Bytes({0x41, 0x00, 0x03, 0x0A, 0xB5}));
    QCOMPARE(m_edit->GetText(), Bytes({0x41, 'f', '3', 0x0A, 0x15}));
    QCOMPARE(m_edit->GetTextLength(), 5);
    QCOMPARE(m_edit->GetCharColor(index), color);
}

void TestInteractiveEditCtrl::getCharColorLeavesSelectionAndTypingFormat()
{
    Decode(Bytes({0x41, 0x00, 0x03, 0x85, 0x42, 0x43}));
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(5);
    cursor.setPosition(2, QTextCursor::KeepAnchor); // selected right to left
    m_edit->setTextCursor(cursor);
    for (int i = 0; i <= 6; ++i)
        m_edit->GetCharColor(i);
    QCOMPARE(m_edit->textCursor().anchor(), 5);
    QCOMPARE(m_edit->textCursor().position(), 2);

    cursor.setPosition(6);
    m_edit->setTextCursor(cursor);
    QTextCharFormat bold = m_edit->m_cfNormal;
    bold.setFontWeight(QFont::Bold);
    m_edit->setCurrentCharFormat(bold);
    for (int i = 0; i <= 6; ++i)
        m_edit->GetCharColor(i);
    QCOMPARE(m_edit->textCursor().position(), 6);
    QVERIFY(!m_edit->textCursor().hasSelection());
    QCOMPARE(m_edit->currentCharFormat().fontWeight(), int(QFont::Bold));
}

void TestInteractiveEditCtrl::decodeAndEncode_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("two lines") << Bytes({0x41, 0x42, 0x0A, 0x43}) << QByteArray("AB\nC")
                               << Bytes({0x41, 0x42, 0x0A, 0x43});
    QTest::newRow("page symbols") << Bytes({0x80, 0x9F, 0xA0, 0xBF})
                                  << Bytes({0x10, 0x1F, 0x10, 0x1F})
                                  << Bytes({0x80, 0x9F, 0xA0, 0xBF});
    QTest::newRow("codes") << Bytes({0x00, 0x03, 0x01, 0x07, 0x03, 0x02, 0x03, 0x90, 0x02, 0x04})
                           << QByteArray("f3i7v2s9e4")
                           << Bytes({0x00, 0x03, 0x01, 0x07, 0x03, 0x02, 0x03, 0x90, 0x02, 0x04});
    QTest::newRow("Io, numero, Cyrillic")
        << Bytes({0xA8, 0xB8, 0xB9, 0xC0, 0xFF}) << Bytes({0xA8, 0xB8, 0xB9, 0xC0, 0xFF})
        << Bytes({0xA8, 0xB8, 0xB9, 0xC0, 0xFF});
    QTest::newRow("0D skipped") << Bytes({0x41, 0x0D, 0x0D, 0x42}) << QByteArray("AB")
                                << QByteArray("AB");
    QTest::newRow("trailing bare code")
        << Bytes({0x41, 0x01}) << QByteArray("A") << QByteArray("A");
}

void TestInteractiveEditCtrl::decodeAndEncode()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, encoded);
    Decode(stream);
    QCOMPARE(m_edit->GetText().toHex(' '), text.toHex(' '));
    QCOMPARE(EncodeNow().toHex(' '), encoded.toHex(' '));
}

void TestInteractiveEditCtrl::typedGuillemetReadsBackAsSymbol()
{
    QTest::keyClicks(m_edit.get(), QString(QChar(0x00AB)));
    QCOMPARE(EncodeNow(), Bytes({0xAB}));
    m_codec->DecodeDocument();
    QCOMPARE(m_edit->GetText(), Bytes({0x1B}));
    QCOMPARE(m_edit->GetCharColor(0), 0xF80000u);
}

void TestInteractiveEditCtrl::roundTripOfGeneratedStreams()
{
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
        Decode(stream);
        if (EncodeNow() != stream)
            QFAIL(
                qPrintable("stream " + stream.toHex(' ') + " came back as " + Stream().toHex(' ')));
    }
}

void TestInteractiveEditCtrl::copyPasteKeepsMarking_data()
{
    QTest::addColumn<QByteArray>("stream");

    QTest::newRow("device symbol") << Bytes({0x41, 0x85, 0x42});
    QTest::newRow("control code") << Bytes({0x41, 0x00, 0x03, 0x42});
    QTest::newRow("full stop and line break") << Bytes({0x03, 0x50, 0x0A, 0xBF});
}

void TestInteractiveEditCtrl::copyPasteKeepsMarking()
{
    QFETCH(QByteArray, stream);
    Decode(stream);
    m_edit->selectAll();
    m_edit->copy();
    m_edit->moveCursor(QTextCursor::End);
    m_edit->paste();
    QCOMPARE(EncodeNow().toHex(' '), (stream + stream).toHex(' '));

    m_edit->selectAll();
    m_edit->cut();
    QCOMPARE(m_edit->GetTextLength(), 0);
    m_edit->paste();
    QCOMPARE(EncodeNow().toHex(' '), (stream + stream).toHex(' '));
}

void TestInteractiveEditCtrl::foreignRichTextKeepsOnlyMarking()
{
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<p><span style='color:#0000ff; font-family:Arial'>f3</span>"
                                 "<b style='color:#ff0000; font-size:30pt'>x</b>"
                                 "<span style='color:#0000fe'>i4</span></p><p>y</p>"));
    data->setText(QStringLiteral("f3xi4\ny"));
    Paste(data);
    QCOMPARE(m_edit->GetText(), QByteArray("f3xi4\ny"));
    QCOMPARE(EncodeNow(), Bytes({0x00, 0x03, 'x', 'i', '4', 0x0A, 'y'}));
    for (int i = 2; i < 7; ++i) {
        QTextCursor cursor(m_edit->document());
        cursor.setPosition(i + 1);
        QCOMPARE(cursor.charFormat().fontFamilies().toStringList(), QStringList{"Verdana"});
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
        QVERIFY(!cursor.charFormat().hasProperty(QTextFormat::FontPointSize));
    }
}

void TestInteractiveEditCtrl::plainPasteIsConverted()
{
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8("a\r\nb\tc\x01") + QChar(0x4E2D) + QChar(0x0416));
    Paste(data);
    QCOMPARE(m_edit->GetText(), QByteArray("a\nb\tc?\xC6"));
    QCOMPARE(m_edit->GetCharColor(0), 0u);
    QCOMPARE(m_edit->toPlainText().at(5), QChar(u'?'));
}

void TestInteractiveEditCtrl::limitRefusesTyping()
{
    m_edit->SetLimitText(5);
    QTest::keyClicks(m_edit.get(), "abcdefg");
    QCOMPARE(m_edit->GetText(), QByteArray("abcde"));
    QTest::keyClick(m_edit.get(), Qt::Key_Return);
    QCOMPARE(m_edit->GetTextLength(), 5);

    // Typing over a selection needs no room beyond what it replaces.
    m_edit->SetSel(0, 2);
    QTest::keyClicks(m_edit.get(), "X");
    QCOMPARE(m_edit->GetText(), QByteArray("Xcde"));
}

void TestInteractiveEditCtrl::limitCutsPaste_data()
{
    QTest::addColumn<QByteArray>("copied");
    QTest::addColumn<int>("room");
    QTest::addColumn<QByteArray>("pasted");

    QTest::newRow("plain cut") << Bytes({'x', 'y', 'z'}) << 2 << Bytes({'x', 'y'});
    QTest::newRow("whole code") << Bytes({'x', 0x00, 0x03}) << 3 << Bytes({'x', 0x00, 0x03});
    QTest::newRow("code not split") << Bytes({'x', 0x00, 0x03}) << 2 << Bytes({'x'});
    QTest::newRow("no room") << Bytes({'x'}) << 0 << QByteArray();
}

void TestInteractiveEditCtrl::limitCutsPaste()
{
    QFETCH(QByteArray, copied);
    QFETCH(int, room);
    QFETCH(QByteArray, pasted);
    Decode(copied);
    m_edit->selectAll();
    m_edit->copy();
    Decode("1234");
    m_edit->SetLimitText(4 + room);
    m_edit->moveCursor(QTextCursor::End);
    m_edit->paste();
    QCOMPARE(EncodeNow().toHex(' '), (QByteArray("1234") + pasted).toHex(' '));
}

void TestInteractiveEditCtrl::limitRefusesInsertion()
{
    m_edit->SetLimitText(3);
    QTest::keyClicks(m_edit.get(), "ab");
    m_codec->CatchChar(1, 'f', 3);
    QCOMPARE(m_edit->GetText(), QByteArray("ab"));
    m_codec->CatchChar(2, 0x85, 0);
    QCOMPARE(EncodeNow(), Bytes({'a', 'b', 0x85}));

    // A decoded stream longer than the limit stops at an item boundary.
    m_edit->SetLimitText(4);
    Decode(Bytes({'a', 'b', 'c', 0x00, 0x03}));
    QCOMPARE(m_edit->GetText(), QByteArray("abc"));
}

void TestInteractiveEditCtrl::modifiedFollowsRealChanges()
{
    QTest::keyClicks(m_edit.get(), "ab");
    QVERIFY(m_doc->IsModified());
    QVERIFY(m_doc->OnSaveDocument(m_dir->filePath("saved.tvd")));
    QVERIFY(!m_doc->IsModified());

    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Up})
        QTest::keyClick(m_edit.get(), key);
    QTest::keyClick(m_edit.get(), Qt::Key_Left, Qt::ShiftModifier); // select
    m_edit->copy();
    m_edit->resize(200, 500);
    m_edit->setFont(QFont(QStringLiteral("Courier New"), 20));
    QVERIFY(!m_doc->IsModified());

    QTest::keyClick(m_edit.get(), Qt::Key_Home);
    QTest::keyClick(m_edit.get(), Qt::Key_Backspace); // nothing before the caret
    QVERIFY(!m_doc->IsModified());

    QTest::keyClick(m_edit.get(), Qt::Key_Delete);
    QVERIFY(m_doc->IsModified());
}

void TestInteractiveEditCtrl::undoKeysDoNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier);
    QTest::newRow("Alt+Backspace") << int(Qt::Key_Backspace) << int(Qt::AltModifier);
    QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << int(Qt::ControlModifier);
}

void TestInteractiveEditCtrl::undoKeysDoNothing()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QTest::keyClicks(m_edit.get(), "abc");
    QTest::keyClick(m_edit.get(), Qt::Key_Backspace);
    QTest::keyClick(m_edit.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_edit->GetText(), QByteArray("ab"));
    QVERIFY(!m_edit->isUndoRedoEnabled());
}

void TestInteractiveEditCtrl::decodeLeavesDocumentUnmodified()
{
    QTest::keyClicks(m_edit.get(), "typed");
    Decode(Bytes({0x41, 0x00, 0x03, 0x0A, 0x85}));
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(m_edit->textCursor().position(), m_edit->GetTextLength());
    QTest::keyClicks(m_edit.get(), "z");
    QVERIFY(m_doc->IsModified());
    QCOMPARE(m_edit->GetCharColor(5), 0u);
}

void TestInteractiveEditCtrl::clipboardQueries()
{
    QTest::keyClicks(m_edit.get(), "abc");
    QVERIFY(!m_edit->HasSelectedText());
    m_edit->SetSel(0, 2);
    QVERIFY(m_edit->HasSelectedText());
    QApplication::clipboard()->clear();
    QVERIFY(!m_edit->CanPaste());
    m_edit->copy();
    QVERIFY(m_edit->CanPaste());
}

QTEST_MAIN(TestInteractiveEditCtrl)
#include "tst_interactiveeditctrl.moc"
