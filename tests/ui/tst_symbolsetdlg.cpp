#include "editor/interactiveeditctrl.h"
#include "editor/messagecodec.h"
#include "editor/symtype.h"
#include "editor/tavrixeditordoc.h"
#include "fakeprompt.h"
#include "fonts/exfont.h"
#include "fonts/symbolsetdlg.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace
{

// A width-8 font whose glyph c has its first column equal to c, so every glyph differs.
std::unique_ptr<CEXFont> MakeFont()
{
    auto font = std::make_unique<CEXFont>();
    font->Create(256, 8, 0);
    for (int c = 0; c < 256; ++c)
        font->m_pGlyphs[c].m_pCols[0] = quint8(c);
    font->m_pGlyphs[0].m_pCols[0] = 0x01;
    font->m_pGlyphs[0x20].m_nLen = 0;
    return font;
}

// Runs a step once the modal dialog is up.
void WhenModal(std::function<void(CSymbolSetDlg*)> step)
{
    QTimer::singleShot(0, [step] {
        auto* dlg = qobject_cast<CSymbolSetDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        step(dlg);
    });
}

QPushButton* Button(CSymbolSetDlg* dlg, const char* name)
{
    return dlg->findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

class TestSymbolSetDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void layoutForWidth8();
    void drawsCellsFrameAndPreview();
    void clickSelects_data();
    void clickSelects();
    void doubleClickInsideConfirms();
    void insertsWithType_data();
    void insertsWithType();
    void cancelInsertsNothing();
    void reservedCodeIsRefused();
    void unloadedFontShowsNoDialog_data();
    void unloadedFontShowsNoDialog();

private:
    void InsertThrough(int code, bool accept);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakePrompt> m_prompt;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CInteractiveEditCtrl> m_edit;
    std::unique_ptr<CTavrixEditorDoc> m_doc;
    std::unique_ptr<CMessageCodec> m_codec;
};

void TestSymbolSetDlg::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompt = std::make_unique<FakePrompt>();
    m_settings = std::make_unique<AppSettings>(*m_prompt, m_dir->path());
    m_settings->m_pFonts.clear();
    m_settings->m_pFonts.push_back(MakeFont());
    m_settings->m_pFontLoaded = {1};
    m_settings->m_nFontCount = 1;
    m_settings->m_nCurFont = 0;
    m_prompt->texts.clear();
    m_edit = std::make_unique<CInteractiveEditCtrl>();
    m_doc = std::make_unique<CTavrixEditorDoc>(*m_settings, *m_prompt);
    m_edit->SetDocument(m_doc.get());
    m_codec = std::make_unique<CMessageCodec>(*m_edit, *m_prompt);
    m_codec->SetDocument(m_doc.get());
}

void TestSymbolSetDlg::cleanup()
{
    m_codec.reset();
    m_doc.reset();
    m_edit.reset();
    m_settings.reset();
    m_prompt.reset();
    m_dir.reset();
}

void TestSymbolSetDlg::layoutForWidth8()
{
    CSymbolSetDlg dlg;
    QVERIFY(dlg.SetFont(*MakeFont()));
    QCOMPARE(dlg.TableRect(), QRect(10, 20, 320, 320));
    QCOMPARE(dlg.CellRect(0x41), QRect(30, 100, 20, 20));
    QCOMPARE(dlg.PreviewRect(), QRect(625, 30, 80, 80));
    QCOMPARE(dlg.GetSel(), 0);
    // The preview lies right of the table and must be inside the window.
    QVERIFY(dlg.width() >= 705);
    QCOMPARE(dlg.height(), 320 + 110);
    QCOMPARE(dlg.pos(), QPoint(100, 100));
    const QRect insert = Button(&dlg, "insertButton")->geometry();
    QVERIFY(insert.top() > 342);
    QVERIFY(insert.bottom() < dlg.height());
    QVERIFY(Button(&dlg, "insertButton")->isDefault());
}

void TestSymbolSetDlg::drawsCellsFrameAndPreview()
{
    CSymbolSetDlg dlg;
    QVERIFY(dlg.SetFont(*MakeFont()));
    const QImage image = dlg.grab().toImage();
    const auto at = [&image](int x, int y) { return QColor(image.pixel(x, y)); };
    const QColor red(255, 0, 0), yellow(255, 255, 0), blue(0, 0, 255), white(Qt::white),
        black(Qt::black);
    // Cell 0, selected: red outline, yellow ring, its one dot black, unlit dots yellow.
    QCOMPARE(at(10, 20), red);
    QCOMPARE(at(29, 39), red);
    QCOMPARE(at(11, 21), yellow);
    QCOMPARE(at(12, 22), black);
    QCOMPARE(at(13, 23), black);
    QCOMPARE(at(14, 22), yellow);
    // Cell 0x41: column 0 = 0x41, dots at rows 0 and 6.
    QCOMPARE(at(30, 100), blue);
    QCOMPARE(at(49, 119), blue);
    QCOMPARE(at(31, 101), white);
    QCOMPARE(at(32, 102), black);
    QCOMPARE(at(32, 104), white);
    QCOMPARE(at(33, 115), black);
    QCOMPARE(at(34, 102), white);
    // Glyph 0x20 has no columns: white with its outline.
    QCOMPARE(at(10 + 20 * 0 + 2, 20 + 20 * 2 + 2), white);
    // The frame two pixels outside the table, the gap between untouched.
    QCOMPARE(at(8, 18), blue);
    QCOMPARE(at(331, 341), blue);
    QVERIFY(at(9, 19) != blue);
    // Preview of the selection: black background, red lit dot 5 × 5.
    QCOMPARE(at(625, 30), black);
    QCOMPARE(at(645, 50), red);
    QCOMPARE(at(649, 54), red);
    QCOMPARE(at(650, 50), black);
}

void TestSymbolSetDlg::clickSelects_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("selected");
    QTest::newRow("column 1 row 4") << QPoint(45, 105) << 65;
    QTest::newRow("cell's right edge") << QPoint(30, 25) << 1;
    QTest::newRow("cell's bottom edge") << QPoint(15, 40) << 16;
    QTest::newRow("last pixel of the table") << QPoint(329, 339) << 255;
    QTest::newRow("table's right edge") << QPoint(330, 100) << 7;
    QTest::newRow("table's bottom edge") << QPoint(100, 340) << 7;
    QTest::newRow("left of the table") << QPoint(9, 100) << 7;
    QTest::newRow("above the table") << QPoint(100, 19) << 7;
}

void TestSymbolSetDlg::clickSelects()
{
    QFETCH(QPoint, point);
    QFETCH(int, selected);
    CSymbolSetDlg dlg;
    QVERIFY(dlg.SetFont(*MakeFont()));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::mouseClick(&dlg, Qt::LeftButton, {}, dlg.CellRect(7).center());
    QCOMPARE(dlg.GetSel(), 7);
    QTest::mouseClick(&dlg, Qt::LeftButton, {}, point);
    QCOMPARE(dlg.GetSel(), selected);
    // The selected cell is drawn red, the previous one blue again.
    const QImage image = dlg.grab().toImage();
    QCOMPARE(QColor(image.pixel(dlg.CellRect(selected).topLeft())), QColor(255, 0, 0));
    if (selected != 7)
        QCOMPARE(QColor(image.pixel(dlg.CellRect(7).topLeft())), QColor(0, 0, 255));
}

void TestSymbolSetDlg::doubleClickInsideConfirms()
{
    CSymbolSetDlg dlg;
    QVERIFY(dlg.SetFont(*MakeFont()));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::mouseDClick(&dlg, Qt::LeftButton, {}, QPoint(400, 100));
    QVERIFY(dlg.isVisible());
    QTest::mouseDClick(&dlg, Qt::LeftButton, {}, dlg.CellRect(0xC0).center());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.GetSel(), 0xC0);
}

void TestSymbolSetDlg::InsertThrough(int code, bool accept)
{
    WhenModal([code, accept](CSymbolSetDlg* dlg) {
        QTest::mouseClick(dlg, Qt::LeftButton, {}, dlg->CellRect(code).center());
        Button(dlg, accept ? "insertButton" : "cancelButton")->click();
    });
    CSymbolSetDlg::OnInsertSymbol(nullptr, *m_settings, *m_prompt, *m_codec);
}

void TestSymbolSetDlg::insertsWithType_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<quint32>("type");
    QTest::newRow("0xC0 Cyrillic A") << 0xC0 << quint32(SYM_PLAIN);
    QTest::newRow("0xA8 Yo") << 0xA8 << quint32(SYM_PLAIN);
    QTest::newRow("0xB8 yo") << 0xB8 << quint32(SYM_PLAIN);
    QTest::newRow("0xB9 numero") << 0xB9 << quint32(SYM_PLAIN);
    QTest::newRow("0x85 page 80") << 0x85 << quint32(SYM_PAGE_80);
    QTest::newRow("0x9F page 90") << 0x9F << quint32(SYM_PAGE_90);
    QTest::newRow("0xAF page A0") << 0xAF << quint32(SYM_PAGE_A0);
    QTest::newRow("0xBA page B0") << 0xBA << quint32(SYM_PAGE_B0);
    QTest::newRow("0x41 Latin A") << 0x41 << quint32(SYM_PLAIN);
}

void TestSymbolSetDlg::insertsWithType()
{
    QFETCH(int, code);
    QFETCH(quint32, type);
    QCOMPARE(CSymbolSetDlg::SymTypeFor(quint8(code)), type);
    InsertThrough(code, true);
    QVERIFY(m_prompt->texts.isEmpty());
    QCOMPARE(m_edit->GetTextLength(), 1);
    QCOMPARE(m_codec->GetSymType(0), type);
    QVERIFY(m_codec->EncodeText());
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(m_doc->m_pData.get()), m_doc->m_nLength),
             QByteArray(1, char(code)));
}

void TestSymbolSetDlg::cancelInsertsNothing()
{
    InsertThrough(0xC0, false);
    QCOMPARE(m_edit->GetTextLength(), 0);
}

void TestSymbolSetDlg::reservedCodeIsRefused()
{
    // The dialog opens on code 0: "Вставить" at once must not put a stream code into the text.
    WhenModal([](CSymbolSetDlg* dlg) { Button(dlg, "insertButton")->click(); });
    CSymbolSetDlg::OnInsertSymbol(nullptr, *m_settings, *m_prompt, *m_codec);
    QCOMPARE(m_edit->GetTextLength(), 0);
    QCOMPARE(m_prompt->texts, QStringList{CSymbolSetDlg::kReservedCode});
}

void TestSymbolSetDlg::unloadedFontShowsNoDialog_data()
{
    QTest::addColumn<int>("slots");
    QTest::addColumn<int>("current");
    QTest::newRow("placeholder slot") << 1 << 0;
    QTest::newRow("no slots at all") << 0 << 0;
    QTest::newRow("current beyond the slots") << 1 << 3;
}

void TestSymbolSetDlg::unloadedFontShowsNoDialog()
{
    QFETCH(int, slots);
    QFETCH(int, current);
    m_settings->m_pFontLoaded.assign(slots, 0);
    m_settings->m_pFonts.resize(slots);
    m_settings->m_nCurFont = current;
    bool dialogShown = false;
    QTimer::singleShot(0, [&dialogShown] {
        if (auto* dlg = QApplication::activeModalWidget()) {
            dialogShown = true;
            dlg->close();
        }
    });
    CSymbolSetDlg::OnInsertSymbol(nullptr, *m_settings, *m_prompt, *m_codec);
    QCoreApplication::processEvents();
    QVERIFY(!dialogShown);
    QCOMPARE(m_prompt->texts, QStringList{CSymbolSetDlg::kNotLoaded});
    QCOMPARE(m_edit->GetTextLength(), 0);
}

QTEST_MAIN(TestSymbolSetDlg)
#include "tst_symbolsetdlg.moc"
