#include "editor/symbolsetdlg.h"
#include "editor/symtype.h"
#include "editorfixture.h"
#include "fonts/exfont.h"
#include "fonts/fontlibrary.h"

#include <QImage>
#include <QPushButton>

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

// The editor with that font as the only and current one.
struct SymbolFixture : EditorFixture {
    SymbolFixture()
    {
        fonts.m_pFonts.push_back(MakeFont());
        fonts.m_pFontLoaded = {1};
        fonts.m_nFontCount = 1;
        settings.m_nCurFont = 0;
    }
    void OpenDialog() { CSymbolSetDlg::OnInsertSymbol(nullptr, settings, fonts, prompt, codec); }
    CFontLibrary fonts;
};

constexpr quint32 kNothing = ~0u; // the dialog inserts no symbol

QPushButton* Button(QDialog* dlg, const char* name)
{
    return dlg->findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

class TestSymbolSetDlg : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layoutAndPixelsForWidth8();
    void clickSelects_data();
    void clickSelects();
    void doubleClickInsideConfirms();
    void inserts_data();
    void inserts();
    void unloadedFontShowsNoDialog_data();
    void unloadedFontShowsNoDialog();
};

void TestSymbolSetDlg::layoutAndPixelsForWidth8()
{
    CSymbolSetDlg dlg;
    QVERIFY(dlg.SetFont(*MakeFont()));
    QCOMPARE(dlg.TableRect(), QRect(10, 20, 320, 320));
    QCOMPARE(dlg.CellRect(0x41), QRect(30, 100, 20, 20));
    QCOMPARE(dlg.PreviewRect(), QRect(625, 30, 80, 80));
    QCOMPARE(dlg.GetSel(), 0);
    QVERIFY(dlg.width() >= 705); // the preview lies right of the table, inside the window
    QCOMPARE(dlg.height(), 320 + 110);
    QCOMPARE(dlg.pos(), QPoint(100, 100));
    const QRect insert = Button(&dlg, "insertButton")->geometry();
    QVERIFY(insert.top() > 342);
    QVERIFY(insert.bottom() < dlg.height());
    QVERIFY(Button(&dlg, "insertButton")->isDefault());

    const QImage image = dlg.grab().toImage();
    const QColor red(255, 0, 0), yellow(255, 255, 0), blue(0, 0, 255), white(Qt::white),
        black(Qt::black);
    const struct {
        int x, y;
        QColor color;
    } pixels[] = {
        // Cell 0, selected: red outline, yellow ring, its one dot black, unlit dots yellow.
        {10, 20, red},
        {29, 39, red},
        {11, 21, yellow},
        {12, 22, black},
        {13, 23, black},
        {14, 22, yellow},
        // Cell 0x41: column 0 = 0x41, dots at rows 0 and 6.
        {30, 100, blue},
        {49, 119, blue},
        {31, 101, white},
        {32, 102, black},
        {32, 104, white},
        {33, 115, black},
        {34, 102, white},
        // Glyph 0x20 has no columns: white inside its outline.
        {12, 62, white},
        // The frame two pixels outside the table.
        {8, 18, blue},
        {331, 341, blue},
        // Preview of the selection: black background, red lit dot 5 × 5.
        {625, 30, black},
        {645, 50, red},
        {649, 54, red},
        {650, 50, black}};
    QStringList expected, actual;
    for (const auto& p : pixels) {
        const QString at = QStringLiteral("(%1, %2) ").arg(p.x).arg(p.y);
        expected << at + p.color.name();
        actual << at + QColor(image.pixel(p.x, p.y)).name();
    }
    QCOMPARE(actual, expected);
    QVERIFY(QColor(image.pixel(9, 19)) != blue); // the gap inside the frame stays untouched
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

void TestSymbolSetDlg::inserts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("button");
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QStringList>("messages");
    const QString insert = "insertButton";
    QTest::newRow("0xC0 Cyrillic A") << 0xC0 << insert << quint32(SYM_PLAIN) << QStringList();
    QTest::newRow("0xA8 Yo") << 0xA8 << insert << quint32(SYM_PLAIN) << QStringList();
    QTest::newRow("0xB8 yo") << 0xB8 << insert << quint32(SYM_PLAIN) << QStringList();
    QTest::newRow("0xB9 numero") << 0xB9 << insert << quint32(SYM_PLAIN) << QStringList();
    QTest::newRow("0x41 Latin A") << 0x41 << insert << quint32(SYM_PLAIN) << QStringList();
    QTest::newRow("0x85 page 80") << 0x85 << insert << quint32(SYM_PAGE_80) << QStringList();
    QTest::newRow("0x9F page 90") << 0x9F << insert << quint32(SYM_PAGE_90) << QStringList();
    QTest::newRow("0xAF page A0") << 0xAF << insert << quint32(SYM_PAGE_A0) << QStringList();
    QTest::newRow("0xBA page B0") << 0xBA << insert << quint32(SYM_PAGE_B0) << QStringList();
    QTest::newRow("cancel") << 0xC0 << "cancelButton" << kNothing << QStringList();
    // The dialog opens on code 0: "Вставить" at once must not put a stream code into the text.
    QTest::newRow("code 0 refused")
        << 0 << insert << kNothing
        << QStringList{"Символы с кодами 0, 1, 2 и 3 заняты управляющими кодами устройства и не "
                       "могут быть вставлены в текст."};
}

void TestSymbolSetDlg::inserts()
{
    QFETCH(int, code);
    QFETCH(QString, button);
    QFETCH(quint32, type);
    QFETCH(QStringList, messages);
    SymbolFixture f;
    WhenModal<CSymbolSetDlg>([code, button](CSymbolSetDlg* dlg) {
        if (code != 0)
            QTest::mouseClick(dlg, Qt::LeftButton, {}, dlg->CellRect(code).center());
        Click(dlg, qPrintable(button));
    });
    f.OpenDialog();
    QCOMPARE(f.prompt.texts, messages);
    QCOMPARE(f.edit.GetTextLength(), type == kNothing ? 0 : 1);
    if (type != kNothing) {
        QCOMPARE(f.codec.GetSymType(0), type);
        QCOMPARE(f.Encode(), QByteArray(1, char(code)));
    }
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
    SymbolFixture f;
    f.fonts.m_pFontLoaded.assign(slots, 0);
    f.fonts.m_pFonts.resize(slots);
    f.settings.m_nCurFont = current;
    bool dialogShown = false;
    QTimer::singleShot(0, [&dialogShown] {
        if (auto* dlg = QApplication::activeModalWidget()) {
            dialogShown = true;
            dlg->close();
        }
    });
    f.OpenDialog();
    QCoreApplication::processEvents();
    QVERIFY(!dialogShown);
    QCOMPARE(f.prompt.texts, QStringList{"Данный шрифт не загружен и не может быть отображен."});
    QCOMPARE(f.edit.GetTextLength(), 0);
}

QTEST_MAIN(TestSymbolSetDlg)
#include "tst_symbolsetdlg.moc"
