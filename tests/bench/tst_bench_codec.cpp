#include "editor/interactiveeditctrl.h"
#include "editor/messagecodec.h"
#include "editor/tavrixeditordoc.h"
#include "fakeprompt.h"
#include "settings/appsettings.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// A message of the given size: a control code every 16 characters and, when lineLength is not
// 0, a line break every lineLength characters.
QByteArray Message(int size, int lineLength)
{
    QByteArray stream;
    stream.reserve(size);
    int column = 0;
    while (stream.size() < size) {
        if (lineLength > 0 && column == lineLength) {
            stream += '\n';
            column = 0;
        } else if (column % 16 == 15 && stream.size() + 2 <= size) {
            stream += '\x00';
            stream += char(column % 10);
            column += 2;
        } else {
            stream += char('a' + column % 26);
            ++column;
        }
    }
    return stream;
}

} // namespace

class BenchCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodeDecode_data();
    void encodeDecode();
};

void BenchCodec::encodeDecode_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("lineLength");

    QTest::newRow("default MAXSYM, lines of 80") << 2048 << 80;
    QTest::newRow("lines of 80") << 100000 << 80;
    QTest::newRow("one paragraph") << 100000 << 0;
}

void BenchCodec::encodeDecode()
{
    QFETCH(int, size);
    QFETCH(int, lineLength);
    QTemporaryDir dir;
    FakePrompt prompt;
    AppSettings settings(prompt, dir.path());
    settings.m_nMaxSym = size + 1;
    CTavrixEditorDoc doc(settings, prompt);
    CInteractiveEditCtrl edit;
    edit.resize(800, 600);
    edit.show();
    edit.SetLimitText(size + 1);
    CMessageCodec codec(edit, prompt);
    edit.SetDocument(&doc);
    codec.SetDocument(&doc);

    const QByteArray stream = Message(size, lineLength);
    std::copy(stream.cbegin(), stream.cend(), doc.m_pData.get());
    doc.m_nLength = size;

    QElapsedTimer timer;
    timer.start();
    codec.DecodeDocument();
    const qint64 decodeMs = timer.elapsed();
    QCoreApplication::processEvents(); // the first paint lays the text out
    const qint64 layoutMs = timer.elapsed() - decodeMs;

    timer.restart();
    codec.EncodeText();
    const qint64 encodeMs = timer.elapsed();

    qInfo("%s: %d bytes, %d characters: decode %lld ms, first layout %lld ms, encode %lld ms",
          QTest::currentDataTag(), size, edit.GetTextLength(), decodeMs, layoutMs, encodeMs);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(doc.m_pData.get()), doc.m_nLength), stream);
}

QTEST_MAIN(BenchCodec)
#include "tst_bench_codec.moc"
