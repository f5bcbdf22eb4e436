#include "editorfixture.h"
#include "fonts/editorsettingsdlg.h"

#include <QLineEdit>
#include <QPushButton>

namespace
{

// Settings holding 3000 / "/opt/fonts" / "Arial Bold" when the dialog opens.
struct SettingsFixture : EditorFixture {
    SettingsFixture()
    {
        settings.m_nMaxSym = 3000;
        settings.m_strFontDir = QStringLiteral("/opt/fonts");
        settings.m_strFontNames = QStringLiteral("Arial Bold");
    }
    ~SettingsFixture() { CEditorSettingsDlg::SetFolderChooser({}); }
    bool Run() { return CEditorSettingsDlg::Run(nullptr, settings); }
};

QStringList Fields(CEditorSettingsDlg* dlg)
{
    return {dlg->m_pMaxChars->text(), dlg->m_pDir->text(), dlg->m_pFontList->text()};
}

} // namespace

class TestEditorSettingsDlg : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void maximum_data();
    void maximum();
    void browse_data();
    void browse();
};

void TestEditorSettingsDlg::maximum_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored"); // 0: refused, the dialog stays open
    QTest::addColumn<QString>("message");
    const QString range = QStringLiteral("Please enter an integer between 2 and 1048576.");
    const QString integer = QStringLiteral("Please enter an integer.");
    QTest::newRow("unchanged") << "3000" << 3000 << QString();
    QTest::newRow("blanks around") << " 4096 " << 4096 << QString();
    QTest::newRow("tabs around") << "\t64\t" << 64 << QString();
    QTest::newRow("plus sign") << "+100" << 100 << QString();
    QTest::newRow("smallest") << "2" << 2 << QString();
    QTest::newRow("largest") << "1048576" << 1048576 << QString();
    QTest::newRow("leading zeros") << "0010" << 10 << QString();
    QTest::newRow("27 blanks then 2048") << QString(27, u' ') + "2048" << 2048 << QString();
    QTest::newRow("28 blanks then 2048 reads 204")
        << QString(28, u' ') + "2048" << 204 << QString();
    QTest::newRow("32 blanks then 2048") << QString(32, u' ') + "2048" << 0 << integer;
    QTest::newRow("letters") << "abc" << 0 << integer;
    QTest::newRow("empty") << "" << 0 << integer;
    QTest::newRow("blanks only") << "   " << 0 << integer;
    QTest::newRow("lone minus") << "-" << 0 << integer;
    QTest::newRow("lone plus") << "+" << 0 << integer;
    QTest::newRow("digits then letters") << "12abc" << 0 << integer;
    QTest::newRow("blank inside") << "1 2" << 0 << integer;
    QTest::newRow("signed zero") << "-0" << 0 << integer;
    QTest::newRow("zero") << "0" << 0 << range;
    QTest::newRow("one") << "1" << 0 << range;
    QTest::newRow("negative") << "-5" << 0 << range;
    QTest::newRow("above the largest") << "1048577" << 0 << range;
    QTest::newRow("beyond 32 bits") << "99999999999999999999" << 0 << range;
}

void TestEditorSettingsDlg::maximum()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    SettingsFixture f;
    bool stayedOpen = false;
    bool focusOnField = false;
    WhenModal<CEditorSettingsDlg>([&](CEditorSettingsDlg* dlg) {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Настройки текстового редактора"));
        QCOMPARE(Fields(dlg), QStringList({"3000", "/opt/fonts", "Arial Bold"}));
        QVERIFY(dlg->findChild<QPushButton*>(QStringLiteral("applyButton"))->isDefault());
        dlg->m_pMaxChars->setText(typed);
        dlg->m_pDir->setText(QStringLiteral("/new/fonts"));
        dlg->m_pFontList->setText(QStringLiteral("Thin Times"));
        Click(dlg, "applyButton");
        stayedOpen = dlg->isVisible() && QApplication::activeModalWidget() == dlg;
        focusOnField = dlg->focusWidget() == dlg->m_pMaxChars;
        if (stayedOpen)
            Click(dlg, "cancelButton"); // and Cancel stores nothing either
    });
    QCOMPARE(f.Run(), stored != 0);
    QCOMPARE(stayedOpen, stored == 0);
    if (stored == 0) {
        QVERIFY(focusOnField);
        QTEST(f.prompt.texts.value(0), "message");
        QCOMPARE(f.prompt.texts.size(), 1);
    } else {
        QVERIFY(f.prompt.texts.isEmpty());
    }
    QCOMPARE(f.settings.m_nMaxSym, stored ? stored : 3000);
    QCOMPARE(f.settings.m_strFontDir, stored ? "/new/fonts" : "/opt/fonts");
    QCOMPARE(f.settings.m_strFontNames, stored ? "Thin Times" : "Arial Bold");
}

void TestEditorSettingsDlg::browse_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("shown"); // after "Обзор"
    QTest::addColumn<int>("stored");
    // A folder chosen puts the opening values back into the other fields.
    QTest::newRow("folder chosen")
        << "/chosen/dir" << QStringList({"3000", "/chosen/dir", "Arial Bold"}) << 3000;
    QTest::newRow("chooser cancelled") << "" << QStringList({"999", "/typed", "Times"}) << 999;
}

void TestEditorSettingsDlg::browse()
{
    QFETCH(QString, chosen);
    QFETCH(QStringList, shown);
    QFETCH(int, stored);
    SettingsFixture f;
    QString title;
    QString start;
    CEditorSettingsDlg::SetFolderChooser([&](QWidget*, const QString& t, const QString& s) {
        title = t;
        start = s;
        return chosen;
    });
    QStringList afterBrowse;
    WhenModal<CEditorSettingsDlg>([&](CEditorSettingsDlg* dlg) {
        dlg->m_pMaxChars->setText(QStringLiteral("999"));
        dlg->m_pDir->setText(QStringLiteral("/typed"));
        dlg->m_pFontList->setText(QStringLiteral("Times"));
        Click(dlg, "browseButton");
        afterBrowse = Fields(dlg);
        Click(dlg, "applyButton");
    });
    QVERIFY(f.Run());
    QCOMPARE(title, QStringLiteral("Выберите директорию со шрифтами"));
    QCOMPARE(start, QStringLiteral("/typed")); // the chooser starts where the field points
    QCOMPARE(afterBrowse, shown);
    QCOMPARE(f.settings.m_nMaxSym, stored);
    QCOMPARE(f.settings.m_strFontDir, shown[1]);
}

QTEST_MAIN(TestEditorSettingsDlg)
#include "tst_editorsettingsdlg.moc"
