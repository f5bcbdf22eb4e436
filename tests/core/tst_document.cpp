#include "editor/tavrixeditordoc.h"
#include "tempprogram.h"
#include "testbytes.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

class TestDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_program = std::make_unique<TempProgram>(); }
    void cleanup()
    {
        m_doc.reset();
        m_program.reset();
    }

    void addSym_data();
    void addSym();
    void capacity_data();
    void capacity();
    void appendRefusedWhenFull();
    void newDocumentSavesEmptyFile();
    void loadReadsAtMostCapacity_data();
    void loadReadsAtMostCapacity();
    void saveEncodesFirstAndTwiceIsIdentical();
    void failuresKeepTheDocument();
    void modifiedSignalOnChangeOnly();

private:
    CTavrixEditorDoc& Doc(int maxSym = 2048)
    {
        m_program->settings->m_nMaxSym = maxSym;
        m_doc = std::make_unique<CTavrixEditorDoc>(*m_program->settings, m_prompt);
        return *m_doc;
    }
    QString FilePath(const QString& name) const { return m_program->dir.filePath(name); }
    QByteArray Stream() const
    {
        return QByteArray(reinterpret_cast<const char*>(m_doc->m_pData.get()), m_doc->m_nLength);
    }
    void SetStream(const QByteArray& bytes)
    {
        m_doc->m_nLength = 0;
        for (char byte : bytes)
            QVERIFY(m_doc->AddByte(quint8(byte)));
    }

    std::unique_ptr<TempProgram> m_program;
    FakePrompt m_prompt;
    std::unique_ptr<CTavrixEditorDoc> m_doc;
};

void TestDocument::addSym_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("byte");

    QTest::newRow("page 80") << 2u << 0x10 << 0x80;
    QTest::newRow("page 90") << 3u << 0x1F << 0x9F;
    QTest::newRow("page A0") << 4u << 0x10 << 0xA0;
    QTest::newRow("page B0") << 5u << 0x1F << 0xBF;
    QTest::newRow("plain") << 0u << 0xC0 << 0xC0;
    QTest::newRow("control code") << 6u << 0x00 << 0x00;
    QTest::newRow("page 80 wraps") << 2u << 0x95 << 0x05;
    QTest::newRow("unknown type") << 11u << 0x41 << 0x41;
}

void TestDocument::addSym()
{
    QFETCH(uint, type);
    QFETCH(int, value);
    QFETCH(int, byte);
    m_prompt.texts.clear();
    CTavrixEditorDoc& doc = Doc();
    QVERIFY(doc.AddByte('x'));
    QVERIFY(doc.AddSym(type, quint8(value)));
    QCOMPARE(Stream(), QByteArray("x") + char(byte));
    QCOMPARE(m_prompt.texts,
             type == 11 ? QStringList{QStringLiteral("Default in AddSym")} : QStringList{});
}

void TestDocument::capacity_data()
{
    QTest::addColumn<int>("maxSym");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QByteArray>("kept"); // of 41 42 00 03 43, after UpdateCapacity

    const QByteArray stream = HexBytes("41 42 00 03 43");
    QTest::newRow("grow keeps all") << 4096 << 4096 << stream;
    QTest::newRow("cut after a code") << 5 << 5 << stream.left(4);
    QTest::newRow("cut before a code") << 4 << 4 << stream.left(2);
    QTest::newRow("never between code and parameter") << 3 << 3 << stream.left(2);
    QTest::newRow("smallest") << 2 << 2 << stream.left(1);
    QTest::newRow("largest") << 1048576 << 1048576 << stream;
    QTest::newRow("one gives default") << 1 << 2048 << stream;
    QTest::newRow("zero gives default") << 0 << 2048 << stream;
    QTest::newRow("negative gives default") << -5 << 2048 << stream;
    QTest::newRow("too large gives default") << 1048577 << 2048 << stream;
}

void TestDocument::capacity()
{
    QFETCH(int, maxSym);
    QFETCH(int, capacity);
    QFETCH(QByteArray, kept);
    QCOMPARE(Doc(maxSym).m_nCapacity, capacity);
    QCOMPARE(m_program->settings->m_nMaxSym, maxSym);

    CTavrixEditorDoc& doc = Doc(2048);
    SetStream(HexBytes("41 42 00 03 43"));
    m_program->settings->m_nMaxSym = maxSym;
    QVERIFY(doc.UpdateCapacity());
    QCOMPARE(doc.m_nCapacity, capacity);
    QCOMPARE(Stream().toHex(' '), kept.toHex(' '));
    QVERIFY(doc.m_nLength < doc.m_nCapacity);
    QCOMPARE(m_program->settings->m_nMaxSym, maxSym);
}

void TestDocument::appendRefusedWhenFull()
{
    CTavrixEditorDoc& doc = Doc();
    for (int i = 0; i < 2047; ++i)
        QVERIFY(doc.AddSym(0, 'a'));
    QVERIFY(!doc.AddSym(0, 'a'));
    QVERIFY(!doc.AddByte(0x01));
    QCOMPARE(doc.m_nLength, 2047);
}

void TestDocument::newDocumentSavesEmptyFile()
{
    CTavrixEditorDoc& doc = Doc();
    QCOMPARE(doc.GetTitle(), QStringLiteral("Untitled"));
    doc.SetModifiedFlag(true);
    QVERIFY(doc.OnSaveDocument(FilePath("empty.tvd")));
    QCOMPARE(FileBytes(FilePath("empty.tvd")), QByteArray(""));
    QCOMPARE(doc.GetTitle(), QStringLiteral("empty.tvd"));
    QVERIFY(!doc.IsModified());
}

void TestDocument::loadReadsAtMostCapacity_data()
{
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<int>("length");

    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("short") << 5 << 5;
    QTest::newRow("exactly MAXSYM") << 2048 << 2048;
    QTest::newRow("longer") << 3000 << 2048;
}

void TestDocument::loadReadsAtMostCapacity()
{
    QFETCH(int, fileSize);
    QFETCH(int, length);
    CTavrixEditorDoc& doc = Doc();
    QByteArray bytes(fileSize, Qt::Uninitialized);
    for (int i = 0; i < fileSize; ++i)
        bytes[i] = char(i * 7);
    const QString path = FilePath("message.tvd");
    QVERIFY(WriteFileBytes(path, bytes));
    doc.SetModifiedFlag(true);
    QVERIFY(doc.OnOpenDocument(path));
    QCOMPARE(Stream(), bytes.left(length));
    QVERIFY(!doc.IsModified());
    QCOMPARE(doc.GetPathName(), path);
}

void TestDocument::saveEncodesFirstAndTwiceIsIdentical()
{
    CTavrixEditorDoc& doc = Doc();
    int encodings = 0;
    connect(&doc, &CTavrixEditorDoc::encodeTextRequested, this, [&] {
        ++encodings;
        SetStream(HexBytes("41 42 0A 43"));
    });
    QVERIFY(doc.OnSaveDocument(FilePath("first.tvd")));
    QVERIFY(doc.OnSaveDocument(FilePath("second.tvd")));
    QCOMPARE(encodings, 2);
    QCOMPARE(FileBytes(FilePath("first.tvd")), HexBytes("41 42 0A 43"));
    QCOMPARE(FileBytes(FilePath("second.tvd")), HexBytes("41 42 0A 43"));
}

void TestDocument::failuresKeepTheDocument()
{
    CTavrixEditorDoc& doc = Doc();
    QVERIFY(doc.OnSaveDocument(FilePath("good.tvd")));
    doc.SetModifiedFlag(true);
    SetStream("kept");
    QString error;
    QVERIFY(!doc.OnSaveDocument(FilePath("missing/bad.tvd"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(doc.IsModified());
    QCOMPARE(doc.GetPathName(), FilePath("good.tvd"));

    error.clear();
    QVERIFY(!doc.OnOpenDocument(FilePath("absent.tvd"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(Stream(), QByteArray("kept"));
}

void TestDocument::modifiedSignalOnChangeOnly()
{
    CTavrixEditorDoc& doc = Doc();
    QSignalSpy spy(&doc, &CTavrixEditorDoc::modifiedChanged);
    doc.SetModifiedFlag(true);
    doc.SetModifiedFlag(true);
    doc.SetModifiedFlag(false);
    QCOMPARE(spy, (QList<QVariantList>{{true}, {false}}));
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
