#include "../ui/framefixture.h"
#include "samplestreams.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>

namespace
{

// Processor time of this process: other programs on a busy machine do not count, so figures stay
// comparable from run to run. The round trip is given in wall-clock time as well.
class CpuTimer
{
public:
    CpuTimer() { restart(); }
    void restart() { m_start = std::clock(); }
    double ms() const { return double(std::clock() - m_start) * 1000.0 / CLOCKS_PER_SEC; }

private:
    std::clock_t m_start = 0;
};

double Ms(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

QString LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).section(u' ', 0, 2)
                                          : QStringLiteral("unknown");
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// The edit control read the way the first version of the program read it: for every character
// the whole text is fetched, the selection is moved onto the character to read its format, and
// the user's selection and typing format are put back.
class SelectionMethodControl : public IEditControl
{
public:
    explicit SelectionMethodControl(CInteractiveEditCtrl& edit) : m_edit(&edit) {}

    QByteArray GetText() const override { return m_edit->GetText(); }
    int GetTextLength() const override { return m_edit->GetTextLength(); }
    void SetText(const QByteArray& text) override { m_edit->SetText(text); }
    void GetSel(int& start, int& end) const override { m_edit->GetSel(start, end); }
    void SetSel(int start, int end) override { m_edit->SetSel(start, end); }
    void SetSelectionCharFormat(const CharFormat& format) override
    {
        m_edit->SetSelectionCharFormat(format);
    }
    void ReplaceSel(const QByteArray& text) override { m_edit->ReplaceSel(text); }
    quint32 GetCharColor(int index) const override
    {
        const QByteArray text = m_edit->GetText();
        // A line break has no format of its own here: the selection would report the next line's.
        if (index < 0 || index >= int(text.size()) || text[index] == '\n')
            return 0;
        const QTextCursor saved = m_edit->textCursor();
        const QTextCharFormat savedFormat = m_edit->currentCharFormat();
        QTextCursor one = saved;
        one.setPosition(index);
        one.setPosition(index + 1, QTextCursor::KeepAnchor);
        m_edit->setTextCursor(one);
        const QColor color = m_edit->currentCharFormat().foreground().color();
        m_edit->setTextCursor(saved);
        m_edit->setCurrentCharFormat(savedFormat);
        return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
    }

private:
    CInteractiveEditCtrl* m_edit;
};

struct CodecRow {
    QString shape;
    int bytes = 0;
    int chars = 0;
    double decode = 0;
    double firstLayout = 0;
    double fullLayout = 0;
    double encode = 0;
    double roundTrip = 0;
    double roundTripWall = 0;
};

struct SelectionRow {
    int chars = 0;
    double selection = 0;
    double fragments = 0;
};

struct KeyRow {
    QString shape;
    QString key;
    double median = 0;
    double worst = 0;
    double wall = 0;
};

QList<CodecRow> g_codecRows;
QList<SelectionRow> g_selectionRows;
QList<KeyRow> g_keyRows;
double g_previewMs = -1;

QByteArray Sample(const QString& shape, int size)
{
    return shape == QLatin1String("lines") ? SampleStreams::Lines(size, true)
                                           : SampleStreams::Paragraph(size, true);
}

// The edit control shown at a usual size, with room for the whole message.
struct Editor : EditorFixture {
    explicit Editor(int size)
    {
        edit.resize(800, 600);
        settings.m_nMaxSym = size + 1;
        doc.UpdateCapacity();
        edit.SetLimitText(doc.m_nCapacity);
        QCoreApplication::processEvents();
    }
};

} // namespace

class BenchCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codec_data();
    void codec();
    void selectionMethod_data();
    void selectionMethod();
    void keystroke_data();
    void keystroke();
    void cleanupTestCase();
};

void BenchCodec::codec_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("size");
    for (int size : {2048, 16384, 102400, 1048575})
        QTest::addRow("lines, %d", size) << QStringLiteral("lines") << size;
    for (int size : {2048, 16384, 102400})
        QTest::addRow("one paragraph, %d", size) << QStringLiteral("one paragraph") << size;
}

// Decode, the first paint, encode and the whole round trip; then how long the control takes to
// lay out the rest of the text, which it does after the first paint.
void BenchCodec::codec()
{
    QFETCH(QString, shape);
    QFETCH(int, size);
    const QByteArray stream = Sample(shape, size);
    CodecRow row{shape, size};
    const int runs = size <= 16384 ? 3 : 1;
    for (int run = 0; run < runs; ++run) {
        Editor f(size);
        QElapsedTimer wall;
        CpuTimer total;
        CpuTimer step;
        wall.start();
        f.Decode(stream);
        const double decode = step.ms();
        step.restart();
        f.edit.viewport()->repaint();
        QCoreApplication::processEvents();
        const double firstLayout = step.ms();
        step.restart();
        const QByteArray back = f.Encode();
        const double encode = step.ms();
        const double roundTrip = total.ms();
        const double roundTripWall = Ms(wall);
        QCOMPARE(back.size(), stream.size());
        QVERIFY(back == stream);
        step.restart();
        f.edit.document()->documentLayout()->documentSize();
        QCoreApplication::processEvents();
        const double fullLayout = step.ms();
        if (run == 0 || roundTrip < row.roundTrip)
            row = {shape,  size,      f.edit.GetTextLength(), decode, firstLayout, fullLayout,
                   encode, roundTrip, roundTripWall};
    }
    g_codecRows << row;
}

void BenchCodec::selectionMethod_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("4,000 characters") << 4000;
    QTest::newRow("16,000 characters") << 16000;
}

// The same encoder over the same text, reading colours by moving the selection and by walking
// the document's fragments.
void BenchCodec::selectionMethod()
{
    QFETCH(int, size);
    const QByteArray stream = SampleStreams::Lines(size, true);
    Editor f(size);
    f.Decode(stream);
    SelectionMethodControl slow(f.edit);
    CMessageCodec slowCodec(slow, f.prompt);
    slowCodec.SetDocument(&f.doc);
    CpuTimer timer;
    slowCodec.EncodeText();
    SelectionRow row{f.edit.GetTextLength(), timer.ms()};
    QVERIFY(Stream(f.doc) == stream);
    QList<double> fast;
    for (int run = 0; run < 5; ++run) {
        timer.restart();
        f.codec.EncodeText();
        fast << timer.ms();
    }
    QVERIFY(Stream(f.doc) == stream);
    row.fragments = Median(fast);
    g_selectionRows << row;
}

void BenchCodec::keystroke_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("size");
    QTest::newRow("lines, 102400") << QStringLiteral("lines") << 102400;
    QTest::newRow("one paragraph, 16384") << QStringLiteral("one paragraph") << 16384;
    QTest::newRow("one paragraph, 102400") << QStringLiteral("one paragraph") << 102400;
}

// From the key press to the repainted window, in the whole main window with the message opened
// from a file, the caret in the middle of the text.
void BenchCodec::keystroke()
{
    QFETCH(QString, shape);
    QFETCH(int, size);
    FrameFixture f(size + 1);
    QVERIFY(f.Show());
    QVERIFY(f.frame->LoadFile(f.WriteFile(QStringLiteral("long.tvd"), Sample(shape, size))));
    CInteractiveEditCtrl& edit = f.Edit();
    edit.setFocus();
    edit.document()->documentLayout()->documentSize();
    QTest::qWait(500);
    QTextCursor middle = edit.textCursor();
    middle.setPosition(edit.GetTextLength() / 2);
    edit.setTextCursor(middle);
    QTest::qWait(100);

    QComboBox* list = f.List(C::ID_I_COMBO);
    const QList<std::pair<QString, std::function<void()>>> keys = {
        {QStringLiteral("letter"), [&edit] { QTest::keyClick(&edit, Qt::Key_A); }},
        {QStringLiteral("Enter"), [&edit] { QTest::keyClick(&edit, Qt::Key_Return); }},
        {QStringLiteral("Backspace"), [&edit] { QTest::keyClick(&edit, Qt::Key_Backspace); }},
        {QStringLiteral("list choice"), [list] { Q_EMIT list->activated(3); }},
    };
    const int repeats = size > 16384 && shape != QLatin1String("lines") ? 7 : 15;
    for (const auto& [name, press] : keys) {
        QList<double> times;
        QList<double> wallTimes;
        for (int n = 0; n < repeats; ++n) {
            QElapsedTimer wall;
            wall.start();
            CpuTimer timer;
            press();
            edit.viewport()->repaint();
            QCoreApplication::processEvents();
            times << timer.ms();
            wallTimes << Ms(wall);
            QTest::qWait(30); // lets the lower pane catch up between presses, as a typist does
        }
        g_keyRows << KeyRow{shape + QStringLiteral(", ") + QString::number(size), name,
                            Median(times), *std::max_element(times.cbegin(), times.cend()),
                            Median(wallTimes)};
    }
    if (shape == QLatin1String("lines")) {
        QTest::qWait(500);
        g_previewMs = double(f.frame->LowerView()->LastUpdateMicros()) / 1000;
    }
}

// One table: the codec rows, the selection method's encoding beside the encoder's, the keys.
void BenchCodec::cleanupTestCase()
{
    std::printf("\nMessage speed in ms of processor time (wall clock in brackets), load average "
                "%s\n",
                qPrintable(LoadAverage()));
    std::printf("%-26s %8s %8s %8s %8s %8s %8s %18s\n", "measurement", "bytes", "chars", "decode",
                "1st lay", "full lay", "encode", "round trip");
    for (const CodecRow& r : g_codecRows)
        std::printf("%-26s %8d %8d %8.1f %8.1f %8.1f %8.1f %8.1f (%7.1f)\n", qPrintable(r.shape),
                    r.bytes, r.chars, r.decode, r.firstLayout, r.fullLayout, r.encode, r.roundTrip,
                    r.roundTripWall);
    for (const SelectionRow& r : g_selectionRows)
        std::printf("%-26s %8d %8d %8s %8s %8s %8.1f   %.0fx the encoder's %.2f\n",
                    "selection per character", r.chars, r.chars, "", "", "", r.selection,
                    r.selection / std::max(r.fragments, 0.001), r.fragments);
    for (const KeyRow& r : g_keyRows)
        std::printf("%-26s %-17s  median %5.1f, worst %6.1f (median %5.1f)\n",
                    qPrintable(QStringLiteral("key: ") + r.key), qPrintable(r.shape), r.median,
                    r.worst, r.wall);
    if (g_previewMs >= 0)
        std::printf("%-26s %8d  %.1f wall, on the lower pane's timer after an edit\n",
                    "lower pane update", 102400, g_previewMs);
    std::fflush(stdout);
}

QTEST_MAIN(BenchCodec)
#include "tst_bench_codec.moc"
