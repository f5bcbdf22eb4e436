#include "framefixture.h"
#include "samplestreams.h"

#include <QProgressBar>
#include <QStatusBar>

namespace
{

// What the window showed while the text went into the editor.
struct Seen {
    bool busyCursor = false;
    QString message;
    QList<int> progress; // percent reported, or -1 when no bar was showing
    int barValue = -1;   // the bar once the whole text was in
};

QProgressBar* ShownBar(QStatusBar* status)
{
    auto* bar = status->findChild<QProgressBar*>(QStringLiteral("openProgress"));
    return bar && bar->isVisible() ? bar : nullptr;
}

} // namespace

class TestOpenProgress : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void openingShowsItIsWorking_data();
    void openingShowsItIsWorking();
    void failedOpeningLeavesNoBusyCursor();
};

void TestOpenProgress::openingShowsItIsWorking_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("bar");
    QTest::newRow("short file: busy cursor only") << 2000 << QString() << false;
    QTest::newRow("100,000 bytes: busy cursor only") << 100000 << QString() << false;
    QTest::newRow("long file: status bar message and bar")
        << 300000 << QStringLiteral("Открытие файла long.tvd...") << true;
}

void TestOpenProgress::openingShowsItIsWorking()
{
    QFETCH(int, size);
    QFETCH(bool, bar);
    FrameFixture f(1048576);
    QVERIFY(f.Show());
    const QString path = f.WriteFile(QStringLiteral("long.tvd"), SampleStreams::Lines(size));
    Seen seen;
    QStatusBar* status = f.frame->statusBar();
    connect(f.Edit().document(), &QTextDocument::contentsChange, this, [&seen, status] {
        seen.busyCursor = QApplication::overrideCursor() &&
                          QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        seen.message = status->currentMessage();
        seen.barValue = ShownBar(status) ? ShownBar(status)->value() : -1;
    });
    connect(&f.Edit(), &CInteractiveEditCtrl::insertProgress, this,
            [&seen, status](int percent) { seen.progress << (ShownBar(status) ? percent : -1); });

    QVERIFY(f.frame->LoadFile(path));
    QVERIFY(seen.busyCursor);
    QTEST(seen.message, "message");
    if (bar) {
        QVERIFY(seen.progress.size() >= 2);
        QVERIFY(std::is_sorted(seen.progress.cbegin(), seen.progress.cend()));
        QVERIFY(seen.progress.first() > 0);
        QVERIFY(seen.progress.last() <= 100);
        QCOMPARE(seen.barValue, seen.progress.last());
    } else {
        QCOMPARE(seen.progress, QList<int>(seen.progress.size(), -1));
    }

    // Afterwards the window is as it was, with the whole message in it.
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(status->currentMessage(), QString());
    QVERIFY(!status->findChild<QProgressBar*>());
    QCOMPARE(f.Edit().GetTextLength(), size);
}

void TestOpenProgress::failedOpeningLeavesNoBusyCursor()
{
    FrameFixture f;
    QVERIFY(!f.frame->LoadFile(f.dir.filePath(QStringLiteral("missing.tvd"))));
    QCOMPARE(f.prompt.texts.size(), 1);
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestOpenProgress)
#include "tst_openprogress.moc"
