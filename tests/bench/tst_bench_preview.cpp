#include "../ui/framefixture.h"
#include "editor/dotstrip.h"

#include <QElapsedTimer>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

namespace
{

// A message of the given size in stream bytes: words in two fonts, a device symbol and a code
// now and then, and a line break every lineLength characters (none when 0).
QByteArray Message(int size, int lineLength)
{
    QByteArray stream;
    int column = 0;
    int word = 0;
    while (stream.size() < size - 3) {
        if (lineLength > 0 && column >= lineLength) {
            stream += '\n';
            column = 0;
        } else if (column % 24 == 20) {
            stream += QByteArray("\x00", 1) + char(word++ % 2) + char(0x80 + word % 16);
            column += 3;
        } else {
            stream += char('A' + column % 26);
            ++column;
        }
    }
    return stream;
}

qint64 Median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

} // namespace

class BenchPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void updateAfterTyping_data();
    void updateAfterTyping();
    void updatesWhileTypingOn_data();
    void updatesWhileTypingOn();
};

void BenchPreview::updateAfterTyping_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("lineLength");
    QTest::newRow("2 KB, lines of 80") << 2048 << 80;
    QTest::newRow("100 KB, lines of 80") << 100000 << 80;
    QTest::newRow("100 KB, one line") << 100000 << 0;
}

// Prints, for one message: the work of one preview update (encoding aside, laying out the dots),
// the time from a keystroke until the preview shows it (the wait included), and what a
// keystroke itself costs with the preview attached.
void BenchPreview::updateAfterTyping()
{
    QFETCH(int, size);
    QFETCH(int, lineLength);
    FrameFixture f(std::max(2048, size + 16));
    QVERIFY(f.Show());
    const QByteArray stream = Message(size, lineLength);
    std::memcpy(f.doc->m_pData.get(), stream.constData(), size_t(stream.size()));
    f.doc->m_nLength = int(stream.size());
    f.frame->LoadFile(f.WriteFile(QStringLiteral("m.tvd"), stream));
    CTavrixView& view = *f.frame->LowerView();
    view.UpdateNow();
    f.Edit().setFocus();
    f.Edit().moveCursor(QTextCursor::End);
    QElapsedTimer timer;

    f.Edit().viewport()->repaint();
    timer.start();
    f.Edit().viewport()->repaint();
    const qint64 editPaint = timer.nsecsElapsed() / 1000;
    timer.start();
    const CTavrixView::StreamWork copied = f.View().PreviewWork();
    const qint64 snapshot = timer.nsecsElapsed() / 1000;
    timer.start();
    const auto fonts = CDotStrip::CopyFontsOf(f.fonts);
    const qint64 fontCopy = timer.nsecsElapsed() / 1000;
    timer.start();
    const QByteArray encoded = copied();
    const qint64 encode = timer.nsecsElapsed() / 1000;
    timer.start();
    const QList<DotLine> lines = CDotStrip::Build(encoded, fonts->fonts);
    qInfo("on the pane's thread: text copy %.2f ms, font copy %.2f ms; on the worker: encoding "
          "%.2f ms, dot layout %.2f ms",
          snapshot / 1000.0, fontCopy / 1000.0, encode / 1000.0, timer.nsecsElapsed() / 1e6);
    QWidget* dots = view.findChild<QScrollArea*>()->viewport();
    timer.start();
    view.UpdateNow();
    const qint64 update = timer.nsecsElapsed() / 1000;
    timer.start();
    dots->repaint();
    qInfo("update alone %.2f ms, pane repaint %.2f ms, editor repaint %.2f ms", update / 1000.0,
          timer.nsecsElapsed() / 1e6, editPaint / 1000.0);
    QList<qint64> work;
    QList<qint64> latency;
    QList<qint64> keystroke;
    for (int n = 0; n < 15; ++n) {
        timer.start();
        view.UpdateNow();
        dots->repaint();
        work << timer.nsecsElapsed() / 1000;

        const qsizetype before = view.Lines().last().columns.size();
        timer.start();
        QTest::keyClick(&f.Edit(), Qt::Key_X);
        keystroke << timer.nsecsElapsed() / 1000;
        while (view.Lines().last().columns.size() == before && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        dots->repaint();
        latency << timer.nsecsElapsed() / 1000;
    }
    qInfo("%d bytes: update work %.2f ms, keystroke to preview %.2f ms, keystroke %.2f ms "
          "(medians of 15)",
          size, Median(work) / 1000.0, Median(latency) / 1000.0, Median(keystroke) / 1000.0);
}

void BenchPreview::updatesWhileTypingOn_data()
{
    QTest::addColumn<bool>("preview");
    QTest::newRow("preview following") << true;
    QTest::newRow("preview detached") << false;
}

// Ten keys a second for three seconds into a long message: how often the preview was redrawn
// meanwhile, and the longest the event loop was away from the keys (beside the same typing with
// the preview detached).
void BenchPreview::updatesWhileTypingOn()
{
    QFETCH(bool, preview);
    FrameFixture f(100016);
    QVERIFY(f.Show());
    const QByteArray stream = Message(100000, 80);
    f.frame->LoadFile(f.WriteFile(QStringLiteral("m.tvd"), stream));
    CTavrixView& view = *f.frame->LowerView();
    view.UpdateNow();
    if (!preview)
        view.SetStreamSource(nullptr);
    f.Edit().setFocus();
    f.Edit().moveCursor(QTextCursor::End);
    QSignalSpy updates(&view, &CTavrixView::previewUpdated);
    QElapsedTimer clock;
    clock.start();
    qint64 longest = 0;
    for (int key = 0; key < 30; ++key) {
        QTest::keyClick(&f.Edit(), Qt::Key_X);
        while (clock.elapsed() < (key + 1) * 100) {
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            longest = std::max(longest, turn.nsecsElapsed() / 1000);
        }
    }
    const int whileTyping = int(updates.size());
    QTRY_VERIFY(!view.IsUpdatePending());
    qInfo("3 s of typing at 100 KB: %d updates while typing, %d after; longest event-loop turn "
          "%.1f ms",
          whileTyping, int(updates.size()) - whileTyping, longest / 1000.0);
}

QTEST_MAIN(BenchPreview)
#include "tst_bench_preview.moc"
