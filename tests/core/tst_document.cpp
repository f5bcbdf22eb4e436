#include "editor/tavrixeditordoc.h"
#include "fakeprompt.h"
#include "settings/appsettings.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
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

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void addSym_data();
    void addSym();
    void capacityFor_data();
    void capacityFor();
    void appendRefusedWhenFull();
    void newDocumentSavesEmptyFile();
    void loadReadsAtMostCapacity_data();
    void loadReadsAtMostCapacity();
    void saveEncodesFirstAndTwiceIsIdentical();
    void failedSaveKeepsDocumentModified();
    void failedOpenKeepsStream();
    void updateCapacity_data();
    void updateCapacity();
    void modifiedSignalOnChangeOnly();

private:
    CTavrixEditorDoc& Doc(int maxSym);
    QByteArray Stream() const;
    void SetStream(const QByteArray& bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakePrompt> m_settingsPrompt;
    std::unique_ptr<AppSettings> m_settings;
    FakePrompt m_prompt;
    std::unique_ptr<CTavrixEditorDoc> m_doc;
};

void TestDocument::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settingsPrompt = std::make_unique<FakePrompt>();
    m_settings = std::make_unique<AppSettings>(*m_settingsPrompt, m_dir->path());
    m_prompt.texts.clear();
}

void TestDocument::cleanup()
{
    m_doc.reset();
    m_settings.reset();
    m_dir.reset();
}

CTavrixEditorDoc& TestDocument::Doc(int maxSym)
{
    m_settings->m_nMaxSym = maxSym;
    m_doc = std::make_unique<CTavrixEditorDoc>(*m_settings, m_prompt);
    return *m_doc;
}

QByteArray TestDocument::Stream() const
{
    return QByteArray(reinterpret_cast<const char*>(m_doc->m_pData.get()), m_doc->m_nLength);
}

void TestDocument::SetStream(const QByteArray& bytes)
{
    m_doc->m_nLength = 0;
    for (char byte : bytes)
        QVERIFY(m_doc->AddByte(quint8(byte)));
}

void TestDocument::addSym_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("byte");
    QTest::addColumn<bool>("prompted");

    QTest::newRow("page 80") << 2u << 0x10 << 0x80 << false;
    QTest::newRow("page 90") << 3u << 0x1F << 0x9F << false;
    QTest::newRow("page A0") << 4u << 0x10 << 0xA0 << false;
    QTest::newRow("page B0") << 5u << 0x1F << 0xBF << false;
    QTest::newRow("plain") << 0u << 0xC0 << 0xC0 << false;
    QTest::newRow("control code") << 6u << 0x00 << 0x00 << false;
    QTest::newRow("page 80 wraps") << 2u << 0x95 << 0x05 << false;
    QTest::newRow("unknown type") << 11u << 0x41 << 0x41 << true;
}

void TestDocument::addSym()
{
    QFETCH(uint, type);
    QFETCH(int, value);
    QFETCH(int, byte);
    QFETCH(bool, prompted);
    CTavrixEditorDoc& doc = Doc(2048);
    QVERIFY(doc.AddByte('x'));
    QVERIFY(doc.AddSym(type, quint8(value)));
    QCOMPARE(Stream(), QByteArray("x") + char(byte));
    QCOMPARE(m_prompt.texts,
             prompted ? QStringList{QStringLiteral("Default in AddSym")} : QStringList{});
}

void TestDocument::capacityFor_data()
{
    QTest::addColumn<int>("maxSym");
    QTest::addColumn<int>("capacity");

    QTest::newRow("default") << 2048 << 2048;
    QTest::newRow("smallest") << 2 << 2;
    QTest::newRow("one") << 1 << 2048;
    QTest::newRow("zero") << 0 << 2048;
    QTest::newRow("negative") << -5 << 2048;
    QTest::newRow("largest") << 1048576 << 1048576;
    QTest::newRow("too large") << 1048577 << 2048;
}

void TestDocument::capacityFor()
{
    QFETCH(int, maxSym);
    QFETCH(int, capacity);
    QCOMPARE(CTavrixEditorDoc::CapacityFor(maxSym), capacity);
    QCOMPARE(Doc(maxSym).m_nCapacity, capacity);
    QCOMPARE(m_settings->m_nMaxSym, maxSym);
}

void TestDocument::appendRefusedWhenFull()
{
    CTavrixEditorDoc& doc = Doc(2048);
    for (int i = 0; i < 2047; ++i)
        QVERIFY(doc.AddSym(0, 'a'));
    QVERIFY(!doc.AddSym(0, 'a'));
    QVERIFY(!doc.AddByte(0x01));
    QCOMPARE(doc.m_nLength, 2047);
}

void TestDocument::newDocumentSavesEmptyFile()
{
    CTavrixEditorDoc& doc = Doc(2048);
    QCOMPARE(doc.GetTitle(), QStringLiteral("Untitled"));
    doc.SetModifiedFlag(true);
    const QString path = m_dir->filePath("empty.tvd");
    QString error;
    QVERIFY(doc.OnSaveDocument(path, &error));
    QCOMPARE(QFileInfo(path).size(), 0);
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
    CTavrixEditorDoc& doc = Doc(2048);
    QByteArray bytes(fileSize, Qt::Uninitialized);
    for (int i = 0; i < fileSize; ++i)
        bytes[i] = char(i * 7);
    const QString path = m_dir->filePath("message.tvd");
    QVERIFY(WriteFile(path, bytes));
    doc.SetModifiedFlag(true);
    QVERIFY(doc.OnOpenDocument(path));
    QCOMPARE(doc.m_nLength, length);
    QCOMPARE(Stream(), bytes.left(length));
    QVERIFY(!doc.IsModified());
    QCOMPARE(doc.GetPathName(), path);
}

void TestDocument::saveEncodesFirstAndTwiceIsIdentical()
{
    CTavrixEditorDoc& doc = Doc(2048);
    int encodings = 0;
    connect(&doc, &CTavrixEditorDoc::encodeTextRequested, this, [&] {
        ++encodings;
        SetStream(Bytes({0x41, 0x42, 0x0A, 0x43}));
    });
    const QString first = m_dir->filePath("first.tvd");
    const QString second = m_dir->filePath("second.tvd");
    QVERIFY(doc.OnSaveDocument(first));
    QVERIFY(doc.OnSaveDocument(second));
    QCOMPARE(encodings, 2);
    QCOMPARE(ReadFile(first), Bytes({0x41, 0x42, 0x0A, 0x43}));
    QCOMPARE(ReadFile(second), ReadFile(first));
}

void TestDocument::failedSaveKeepsDocumentModified()
{
    CTavrixEditorDoc& doc = Doc(2048);
    const QString good = m_dir->filePath("good.tvd");
    QVERIFY(doc.OnSaveDocument(good));
    doc.SetModifiedFlag(true);
    QString error;
    QVERIFY(!doc.OnSaveDocument(m_dir->filePath("missing/bad.tvd"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(doc.IsModified());
    QCOMPARE(doc.GetPathName(), good);
}

void TestDocument::failedOpenKeepsStream()
{
    CTavrixEditorDoc& doc = Doc(2048);
    SetStream("kept");
    QString error;
    QVERIFY(!doc.OnOpenDocument(m_dir->filePath("absent.tvd"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(Stream(), QByteArray("kept"));
}

void TestDocument::updateCapacity_data()
{
    QTest::addColumn<int>("maxSym");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QByteArray>("kept");

    const QByteArray stream = Bytes({0x41, 0x42, 0x00, 0x03, 0x43});
    QTest::newRow("grow keeps all") << 4096 << 4096 << stream;
    QTest::newRow("cut after a code") << 5 << 5 << stream.left(4);
    QTest::newRow("cut before a code") << 4 << 4 << stream.left(2);
    QTest::newRow("never between code and parameter") << 3 << 3 << stream.left(2);
    QTest::newRow("smallest") << 2 << 2 << stream.left(1);
    QTest::newRow("out of range gives default") << 0 << 2048 << stream;
}

void TestDocument::updateCapacity()
{
    QFETCH(int, maxSym);
    QFETCH(int, capacity);
    QFETCH(QByteArray, kept);
    CTavrixEditorDoc& doc = Doc(2048);
    SetStream(Bytes({0x41, 0x42, 0x00, 0x03, 0x43}));
    m_settings->m_nMaxSym = maxSym;
    QVERIFY(doc.UpdateCapacity());
    QCOMPARE(doc.m_nCapacity, capacity);
    QCOMPARE(Stream().toHex(' '), kept.toHex(' '));
    QVERIFY(doc.m_nLength < doc.m_nCapacity);
}

void TestDocument::modifiedSignalOnChangeOnly()
{
    CTavrixEditorDoc& doc = Doc(2048);
    QSignalSpy spy(&doc, &CTavrixEditorDoc::modifiedChanged);
    doc.SetModifiedFlag(true);
    doc.SetModifiedFlag(true);
    doc.SetModifiedFlag(false);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
