#include "editor/dotstrip.h"
#include "editor/symbolglyphs.h"
#include "fonts/editorsettingsdlg.h"
#include "framefixture.h"
#include "testbytes.h"

#include <QFileDialog>
#include <QImage>
#include <QScopeGuard>
#include <QScrollArea>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <thread>

namespace
{

// The column bytes of one glyph, read straight from a shipped font file.
QByteArray GlyphInFile(const QString& font, int code)
{
    const QByteArray file =
        FileBytes(QStringLiteral(TAVRIX_FONTS_DIR "/") + font + QStringLiteral(".brf"));
    qsizetype at = 4;
    for (int c = 0; c < code && at < file.size(); ++c)
        at += 1 + quint8(file[at]);
    return at < file.size() ? file.mid(at + 1, quint8(file[at])) : QByteArray("<none>");
}

// A stream source whose work, while `held`, waits on the worker until the test opens the gate.
struct HeldSource {
    QByteArray stream;
    bool held = false;
    QSemaphore started;
    QSemaphore gate;

    std::function<CTavrixView::StreamWork()> Source()
    {
        return [this] {
            return [this, copy = stream, wait = held] {
                if (wait) {
                    started.release();
                    gate.acquire();
                }
                return copy;
            };
        };
    }
};

QByteArray Lines(const CTavrixView& view)
{
    QByteArrayList lines;
    for (const DotLine& line : view.Lines())
        lines << line.columns.toHex();
    return lines.join('|');
}

void Decode(FrameFixture& f, const QByteArray& stream)
{
    std::memcpy(f.doc->m_pData.get(), stream.constData(), size_t(stream.size()));
    f.doc->m_nLength = int(stream.size());
    f.View().DecodeDocument();
}

} // namespace

class TestTavrixView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsTypingWithoutTouchingTheDocument();
    void followsListChoicesAndOpening();
    void olderWorkerResultIsThrownAway();
    void editsWhileTheWorkerRunsShowAfterIt();
    void closingWhileTheWorkerRuns();
    void followsTheEditorSettingsFontReload();
    void savePictureThroughTheFileDialog();
    void scaleListSetsThePitchAndResetsOnReload();
    void widthIsKeptInTheProfileNotInTheIni();
    void playAndPause();
    void savedPictureIsThePng();
    void longLineSavedInRowsTooTallRefused();
    void symbolsRoundTripThroughTheEditor_data();
    void symbolsRoundTripThroughTheEditor();
    void symbolsDrawnAsGlyphsWhileTheirFontIsLoaded();
};

void TestTavrixView::followsTypingWithoutTouchingTheDocument()
{
    FrameFixture f;
    CTavrixView& view = *f.frame->LowerView();
    FrameFixture::Type(&f.Edit(), QStringLiteral("AB\nA"));
    QVERIFY(view.IsUpdatePending());
    const QByteArray a = GlyphInFile(QStringLiteral("Arial"), 'A').toHex();
    const QByteArray b = GlyphInFile(QStringLiteral("Arial"), 'B').toHex();
    QTRY_COMPARE(Lines(view), a + b + '|' + a);
    QCOMPARE(f.doc->m_nLength, 0); // the stream is written on save and send only
}

void TestTavrixView::followsListChoicesAndOpening()
{
    FrameFixture f;
    QVERIFY(f.Show());
    CTavrixView& view = *f.frame->LowerView();
    f.Edit().setFocus();
    FrameFixture::Choose(f.List(C::ID_FONT_COMBO), 1);
    FrameFixture::Type(&f.Edit(), QStringLiteral("A"));
    QTRY_COMPARE(Lines(view), GlyphInFile(QStringLiteral("Bold"), 'A').toHex());
    QCOMPARE(view.Lines()[0].markers.size(), 1);

    const QString path = f.WriteFile(QStringLiteral("m.tvd"), HexBytes("0003 41 0a 0001 42"));
    QVERIFY(f.frame->LoadFile(path));
    QCOMPARE(Lines(view), GlyphInFile(QStringLiteral("Dos"), 'A').toHex() + '|' +
                              GlyphInFile(QStringLiteral("Bold"), 'B').toHex());
}

void TestTavrixView::olderWorkerResultIsThrownAway()
{
    FrameFixture f;
    HeldSource source;
    CTavrixView view(f.fonts);
    const auto open = qScopeGuard([&source] { source.gate.release(2); }); // even on a failure
    view.SetStreamSource(source.Source());
    source.stream = "A";
    source.held = true;
    view.ScheduleUpdate();
    QTRY_COMPARE(source.started.available(), 1);
    source.stream = "B";
    source.held = false;
    view.UpdateNow();
    const QByteArray b = GlyphInFile(QStringLiteral("Arial"), 'B').toHex();
    QCOMPARE(Lines(view), b);
    source.gate.release();
    QTRY_VERIFY(!view.IsUpdatePending());
    QCOMPARE(Lines(view), b);
}

void TestTavrixView::editsWhileTheWorkerRunsShowAfterIt()
{
    FrameFixture f;
    HeldSource source;
    CTavrixView view(f.fonts);
    const auto open = qScopeGuard([&source] { source.gate.release(2); }); // even on a failure
    view.SetStreamSource(source.Source());
    QSignalSpy shown(&view, &CTavrixView::previewUpdated);
    source.stream = "A";
    source.held = true;
    view.ScheduleUpdate();
    QTRY_COMPARE(source.started.available(), 1);
    source.stream = "AB";
    source.held = false;
    view.ScheduleUpdate();
    QTest::qWait(100); // its wait is over while the first update still runs
    QVERIFY(shown.isEmpty());
    source.gate.release();
    QTRY_VERIFY(!view.IsUpdatePending());
    QCOMPARE(Lines(view), GlyphInFile(QStringLiteral("Arial"), 'A').toHex() +
                              GlyphInFile(QStringLiteral("Arial"), 'B').toHex());
    QCOMPARE(shown.size(), 2);
}

// The worker posts its result to the view: closing must wait for it, and the result must not
// reach the view once it has gone.
void TestTavrixView::closingWhileTheWorkerRuns()
{
    FrameFixture f;
    HeldSource source;
    auto view = std::make_unique<CTavrixView>(f.fonts);
    view->SetStreamSource(source.Source());
    source.stream = "A";
    source.held = true;
    view->ScheduleUpdate();
    QTRY_COMPARE(source.started.available(), 1);
    std::thread opener([&source] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        source.gate.release();
    });
    view.reset();
    opener.join();
    QCoreApplication::processEvents();
}

// The settings dialog reads the fonts again: the same text then shows in the fonts now on disk.
void TestTavrixView::followsTheEditorSettingsFontReload()
{
    FrameFixture f;
    QVERIFY(f.Show());
    CTavrixView& view = *f.frame->LowerView();
    f.Edit().setFocus();
    FrameFixture::Type(&f.Edit(), QStringLiteral("A"));
    QTRY_COMPARE(Lines(view), GlyphInFile(QStringLiteral("Arial"), 'A').toHex());
    const QString arial = f.dir.filePath(QStringLiteral("Fonts/Arial.brf"));
    QVERIFY(QFile::remove(arial));
    QVERIFY(QFile::copy(f.dir.filePath(QStringLiteral("Fonts/Bold.brf")), arial));
    WhenModal<CEditorSettingsDlg>([](CEditorSettingsDlg* dlg) { dlg->accept(); });
    f.Action(C::ID_EDITOR_SETTINGS)->trigger();
    QTRY_COMPARE(Lines(view), GlyphInFile(QStringLiteral("Bold"), 'A').toHex());
}

void TestTavrixView::savePictureThroughTheFileDialog()
{
    FrameFixture f;
    QVERIFY(f.Show());
    Decode(f, HexBytes("41 0a 42"));
    const QString chosen = f.dir.filePath(QStringLiteral("board"));
    WhenModal<QFileDialog>([chosen](QFileDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), "Сохранить изображение табло");
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept(); // as the dialog's own button does
    });
    f.Action(C::ID_SAVE_PICTURE)->trigger();
    const QImage saved(chosen + QStringLiteral(".png")); // the suffix is added
    QCOMPARE(saved.size(), f.frame->LowerView()->StillImage().size());
    QVERIFY(f.prompt.texts.isEmpty());

    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    f.Action(C::ID_SAVE_PICTURE)->trigger();
    QVERIFY(f.prompt.texts.isEmpty());

    const QString nowhere = f.dir.filePath(QStringLiteral("no/such/dir/board.png"));
    WhenModal<QFileDialog>([nowhere](QFileDialog* dialog) {
        dialog->selectFile(nowhere);
        static_cast<QDialog*>(dialog)->accept(); // as the dialog's own button does
    });
    f.Action(C::ID_SAVE_PICTURE)->trigger();
    QCOMPARE(f.prompt.texts.size(), 1);
    QVERIFY2(f.prompt.texts[0].startsWith("Не удается сохранить изображение табло " +
                                          QDir::toNativeSeparators(nowhere) + ".\n"),
             qPrintable(f.prompt.texts[0]));
}

void TestTavrixView::scaleListSetsThePitchAndResetsOnReload()
{
    FrameFixture f;
    QVERIFY(f.Show());
    CTavrixView& view = *f.frame->LowerView();
    QComboBox* scale = f.List(C::ID_SCALE_COMBO);
    QVERIFY(scale->isEnabled());
    QCOMPARE(view.Pitch(), 4);
    FrameFixture::Choose(scale, 2);
    QCOMPARE(scale->currentText(), "300%");
    QCOMPARE(view.Pitch(), 12);
    const QScrollArea* dots = view.findChild<QScrollArea*>();
    QVERIFY(dots->widget()->width() > dots->viewport()->width()); // the pane scrolls
    f.fonts.LoadFontLibrary(*f.settings);
    f.View().FillToolbarCombos();
    QCOMPARE(scale->currentText(), "100%");
    QCOMPARE(view.Pitch(), 4);
}

void TestTavrixView::widthIsKeptInTheProfileNotInTheIni()
{
    QByteArray plainIni;
    {
        FrameFixture f;
        QCOMPARE(f.frame->LowerView()->DisplayWidth(), 96);
        const QString ini = f.dir.filePath(QStringLiteral("Tavrix Editor.ini"));
        f.frame.reset();
        f.doc.reset();
        f.settings.reset();
        plainIni = FrameFixture::ReadFile(ini);
    }
    FrameFixture f;
    auto* spin = f.frame->LowerView()->findChild<QSpinBox*>(QStringLiteral("previewWidth"));
    QVERIFY(spin);
    spin->setValue(120);
    QCOMPARE(f.frame->LowerView()->Animation().Frame().size(), 120);
    {
        QSettings profile(QStringLiteral("Local AppWizard-Generated Applications"),
                          QStringLiteral("Tavrix Editor"));
        QCOMPARE(profile.value(QStringLiteral("Preview/DisplayWidth")).toInt(), 120);
    }
    CTavrixView second(f.fonts);
    QCOMPARE(second.DisplayWidth(), 120);

    const QString ini = f.dir.filePath(QStringLiteral("Tavrix Editor.ini"));
    f.frame.reset();
    f.doc.reset();
    f.settings.reset();
    QVERIFY(!plainIni.isEmpty());
    QCOMPARE(FrameFixture::ReadFile(ini), plainIni);
}

void TestTavrixView::playAndPause()
{
    FrameFixture f;
    CTavrixView& view = *f.frame->LowerView();
    FrameFixture::Type(&f.Edit(), QStringLiteral("HELLO"));
    view.UpdateNow();
    auto* play = view.findChild<QToolButton*>(QStringLiteral("previewPlay"));
    QVERIFY(play);
    QCOMPARE(play->text(), "Пуск");
    play->click();
    QVERIFY(view.IsPlaying());
    QCOMPARE(play->text(), "Пауза");
    QTRY_VERIFY(view.Animation().Frame() != QByteArray(96, '\0')); // running in from the right
    play->click();
    QVERIFY(!view.IsPlaying());
    const QByteArray paused = view.Animation().Frame();
    QTest::qWait(120);
    QCOMPARE(view.Animation().Frame(), paused);
}

void TestTavrixView::savedPictureIsThePng()
{
    FrameFixture f;
    CTavrixView& view = *f.frame->LowerView();
    Decode(f, HexBytes("41 0a 42 0a 43"));
    const QString path = f.dir.filePath(QStringLiteral("board.png"));
    QString error;
    QVERIFY(f.frame->SavePicture(path, &error));
    const QImage small(path);
    QCOMPARE(small.size(), view.StillImage().size());
    QVERIFY(small.width() >= 96 * 4);

    FrameFixture::Choose(f.List(C::ID_SCALE_COMBO), 2);
    QVERIFY(f.frame->SavePicture(path, &error));
    const QImage large(path);
    QVERIFY(large.width() >= 96 * 12);
    QVERIFY(large.height() > small.height());

    QVERIFY(!f.frame->SavePicture(f.dir.filePath(QStringLiteral("no/such/dir/x.png")), &error));
    QVERIFY(!error.isEmpty());
}

void TestTavrixView::longLineSavedInRowsTooTallRefused()
{
    FrameFixture f;
    CTavrixView& view = *f.frame->LowerView();
    Decode(f, QByteArray(2000, 'W')); // one line of about 12,000 columns
    view.UpdateNow();
    const QImage wrapped = view.StillImage();
    QVERIFY(!wrapped.isNull());
    QVERIFY2(wrapped.width() <= 2048 + 64, qPrintable(QString::number(wrapped.width())));
    QVERIFY(wrapped.height() > 10 * 8 * 4);

    QByteArray lines;
    for (int n = 0; n < 600; ++n)
        lines += "A\n";
    Decode(f, lines);
    const QString path = f.dir.filePath(QStringLiteral("tall.png"));
    QString error;
    QVERIFY(!f.frame->SavePicture(path, &error));
    QCOMPARE(error, "Изображение слишком велико.");
    QVERIFY(!QFile::exists(path));
    QCOMPARE(CMainFrame::CannotSavePictureText(QStringLiteral("/tmp/x.png"), error),
             "Не удается сохранить изображение табло " +
                 QDir::toNativeSeparators(QStringLiteral("/tmp/x.png")) +
                 ".\nИзображение слишком велико.");
}

void TestTavrixView::symbolsRoundTripThroughTheEditor_data()
{
    QTest::addColumn<QByteArray>("stream");
    QByteArray symbols;
    for (int b = 0x80; b <= 0xBF; ++b) {
        if (b != 0xA8 && b != 0xB8 && b != 0xB9)
            symbols += char(b);
    }
    QTest::newRow("every symbol") << symbols;
    QTest::newRow("two fonts and lines") << HexBytes("80 9f 0a 0001 a0 bf 41 0a 0002 b5 0330");
    QTest::newRow("missing font") << HexBytes("0009 85 86 0000 87");
}

void TestTavrixView::symbolsRoundTripThroughTheEditor()
{
    QFETCH(QByteArray, stream);
    FrameFixture f;
    QVERIFY(f.Show());
    Decode(f, stream);
    f.Edit().viewport()->repaint();
    f.Edit().selectAll();
    f.View().OnEditCopy();
    f.Edit().SetText(QByteArray());
    f.View().OnEditPaste();
    f.View().EncodeText();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(f.doc->m_pData.get()), f.doc->m_nLength)
                 .toHex(' '),
             stream.toHex(' '));
}

void TestTavrixView::symbolsDrawnAsGlyphsWhileTheirFontIsLoaded()
{
    FrameFixture f;
    QVERIFY(f.Show());
    const auto shot = [&f](bool glyphs) {
        f.Edit().SetSymbolGlyphs(glyphs ? f.Edit().findChild<CSymbolGlyphs*>() : nullptr);
        return f.Edit().viewport()->grab().toImage();
    };
    CSymbolGlyphs* painter = f.Edit().findChild<CSymbolGlyphs*>();
    QVERIFY(painter);

    Decode(f, HexBytes("85 86"));
    QVERIFY(shot(true) != shot(false));
    // The placeholder slot has no glyphs: the symbol keeps the control's own look.
    f.fonts.m_pFontLoaded[2] = 0;
    Decode(f, HexBytes("0002 85 86"));
    QCOMPARE(shot(true), shot(false));
    f.Edit().SetSymbolGlyphs(painter);
}

QTEST_MAIN(TestTavrixView)
#include "tst_tavrixview.moc"
