#include "editor/previewanimation.h"
#include "testbytes.h"

#include <QTest>
#include <bit>

namespace
{

DotLine Line(const char* hex, QList<DotMarker> markers = {}, int effect = -1)
{
    return DotLine{HexBytes(hex), std::move(markers), effect};
}

QString Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

int LitDots(const QByteArray& frame)
{
    int lit = 0;
    for (char c : frame)
        lit += std::popcount(quint8(c));
    return lit;
}

} // namespace

class TestPreviewAnimation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runsInFromTheRightOneColumnPerStep();
    void fullStopHoldsForItsSeconds();
    void fullStopOfZeroDoesNotHold();
    void effects_data();
    void effects();
    void noiseChangesHalfTheDotsHalfway();
    void startsAgainAfterTheLastLine();
    void emptyMessageRunsWithoutEnd();
};

void TestPreviewAnimation::runsInFromTheRightOneColumnPerStep()
{
    CPreviewAnimation animation;
    animation.SetStrip({Line("01 02 04")}, 4);
    QCOMPARE(Hex(animation.Frame()), "00 00 00 00");
    animation.Advance(39);
    QCOMPARE(Hex(animation.Frame()), "00 00 00 00");
    animation.Advance(1);
    QCOMPARE(Hex(animation.Frame()), "00 00 00 01");
    animation.Advance(80);
    QCOMPARE(Hex(animation.Frame()), "00 01 02 04");
    animation.Advance(120);
    QCOMPARE(Hex(animation.Frame()), "04 00 00 00");
    animation.Advance(40);
    QCOMPARE(Hex(animation.Frame()), "00 00 00 00");
}

void TestPreviewAnimation::fullStopHoldsForItsSeconds()
{
    CPreviewAnimation animation;
    animation.SetStrip({Line("01 02 04 08", {{2, 's', 3}})}, 4);
    animation.Advance(80); // the two columns before the stop are in
    QCOMPARE(animation.GetPhase(), CPreviewAnimation::Holding);
    const QString held = Hex(animation.Frame());
    QCOMPARE(held, "00 00 01 02");
    for (int ms = 0; ms < 2999; ms += 1) {
        animation.Advance(1);
        QCOMPARE(Hex(animation.Frame()), held);
    }
    QCOMPARE(animation.GetPhase(), CPreviewAnimation::Holding);
    animation.Advance(1);
    QCOMPARE(animation.GetPhase(), CPreviewAnimation::Running);
    QCOMPARE(Hex(animation.Frame()), held);
    animation.Advance(40);
    QCOMPARE(Hex(animation.Frame()), "00 01 02 04");
}

void TestPreviewAnimation::fullStopOfZeroDoesNotHold()
{
    CPreviewAnimation animation;
    animation.SetStrip({Line("01 02 04 08", {{2, 's', 0}})}, 4);
    animation.Advance(80);
    QCOMPARE(animation.GetPhase(), CPreviewAnimation::Running);
    animation.Advance(40);
    QCOMPARE(Hex(animation.Frame()), "00 01 02 04");
}

// The first line (all lit) comes to rest filling the window, then the effect brings the second.
void TestPreviewAnimation::effects_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<QString>("halfway");
    QTest::newRow("shift up") << 0 << "ff 0f";
    QTest::newRow("shift down") << 1 << "f0 ff";
    QTest::newRow("paint from below") << 2 << "0f ff";
    QTest::newRow("paint from above") << 3 << "ff f0";
}

void TestPreviewAnimation::effects()
{
    QFETCH(int, effect);
    QFETCH(QString, halfway);
    CPreviewAnimation animation;
    animation.SetStrip({Line("ff ff"), Line("0f f0 3c", {}, effect)}, 2);
    animation.Advance(80);
    QCOMPARE(Hex(animation.Frame()), "ff ff");
    animation.Advance(40);
    QCOMPARE(animation.GetPhase(), CPreviewAnimation::Changing);
    QCOMPARE(animation.LineIndex(), 1);
    QCOMPARE(Hex(animation.Frame()), "ff ff");
    animation.Advance(4 * 80);
    QCOMPARE(Hex(animation.Frame()), halfway);
    animation.Advance(4 * 80 - 1);
    QCOMPARE(animation.GetPhase(), CPreviewAnimation::Changing);
    animation.Advance(1);
    QCOMPARE(animation.GetPhase(), CPreviewAnimation::Running);
    QCOMPARE(Hex(animation.Frame()), "0f f0"); // the end state: the new line's beginning
    animation.Advance(40);
    QCOMPARE(Hex(animation.Frame()), "f0 3c"); // and it runs on
}

void TestPreviewAnimation::noiseChangesHalfTheDotsHalfway()
{
    const QByteArray lit(16, '\xff');
    const QByteArray dark(16, '\0');
    QCOMPARE(LitDots(CPreviewAnimation::Blend(CPreviewAnimation::PaintWithNoise, lit, dark, 4)),
             64);
    QCOMPARE(CPreviewAnimation::Blend(CPreviewAnimation::PaintWithNoise, lit, dark, 0), lit);

    CPreviewAnimation animation;
    animation.SetStrip({Line(""), Line("0f f0", {}, 4)}, 2);
    animation.Advance(80 + 40); // the empty line "rests" for the width of the window
    QCOMPARE(animation.GetPhase(), CPreviewAnimation::Changing);
    animation.Advance(8 * 80);
    QCOMPARE(animation.GetPhase(), CPreviewAnimation::Running);
    QCOMPARE(Hex(animation.Frame()), "0f f0");
}

void TestPreviewAnimation::startsAgainAfterTheLastLine()
{
    CPreviewAnimation animation;
    animation.SetStrip({Line("01"), Line("02")}, 2);
    animation.Advance(3 * 40); // "01" in and out: offsets 1, 2, 3
    QCOMPARE(animation.LineIndex(), 0);
    animation.Advance(40);
    QCOMPARE(animation.LineIndex(), 1);
    animation.Advance(40);
    QCOMPARE(Hex(animation.Frame()), "00 02");
    animation.Advance(3 * 40);
    QCOMPARE(animation.LineIndex(), 0);
}

void TestPreviewAnimation::emptyMessageRunsWithoutEnd()
{
    CPreviewAnimation animation;
    animation.SetStrip({}, 3);
    animation.Advance(60 * 1000);
    QCOMPARE(Hex(animation.Frame()), "00 00 00");
}

QTEST_GUILESS_MAIN(TestPreviewAnimation)
#include "tst_previewanimation.moc"
