#include "fakeprompt.h"
#include "fonts/editorsettingsdlg.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace
{

void WhenModal(std::function<void(CEditorSettingsDlg*)> step)
{
    QTimer::singleShot(0, [step] {
        auto* dlg = qobject_cast<CEditorSettingsDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        step(dlg);
    });
}

void Click(CEditorSettingsDlg* dlg, const char* name)
{
    dlg->findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

} // namespace

class TestEditorSettingsDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensWithTheValues();
    void acceptsMaximum_data();
    void acceptsMaximum();
    void refusesMaximum_data();
    void refusesMaximum();
    void cancelKeepsEverything();
    void browsePutsOpeningValuesBack();
    void cancelledBrowseChangesNothing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakePrompt> m_prompt;
    std::unique_ptr<AppSettings> m_settings;
};

void TestEditorSettingsDlg::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompt = std::make_unique<FakePrompt>();
    m_settings = std::make_unique<AppSettings>(*m_prompt, m_dir->path());
    m_settings->m_nMaxSym = 3000;
    m_settings->m_strFontDir = QStringLiteral("/opt/fonts");
    m_settings->m_strFontNames = QStringLiteral("Arial Bold");
    m_prompt->texts.clear();
}

void TestEditorSettingsDlg::cleanup()
{
    CEditorSettingsDlg::SetFolderChooser({});
    m_settings.reset();
    m_prompt.reset();
    m_dir.reset();
}

void TestEditorSettingsDlg::opensWithTheValues()
{
    CEditorSettingsDlg dlg(*m_prompt, 3000, "/opt/fonts", "Arial Bold");
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Настройки текстового редактора"));
    QCOMPARE(dlg.m_pMaxChars->text(), QStringLiteral("3000"));
    QCOMPARE(dlg.m_pDir->text(), QStringLiteral("/opt/fonts"));
    QCOMPARE(dlg.m_pFontList->text(), QStringLiteral("Arial Bold"));
    QVERIFY(dlg.findChild<QPushButton*>(QStringLiteral("applyButton"))->isDefault());
}

void TestEditorSettingsDlg::acceptsMaximum_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("unchanged") << "3000" << 3000;
    QTest::newRow("blanks around") << " 4096 " << 4096;
    QTest::newRow("tabs around") << "\t64\t" << 64;
    QTest::newRow("plus sign") << "+100" << 100;
    QTest::newRow("smallest") << "2" << 2;
    QTest::newRow("largest") << "1048576" << 1048576;
    QTest::newRow("leading zeros") << "0010" << 10;
}

void TestEditorSettingsDlg::acceptsMaximum()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    WhenModal([typed](CEditorSettingsDlg* dlg) {
        dlg->m_pMaxChars->setText(typed);
        dlg->m_pDir->setText(QStringLiteral("/new/fonts"));
        dlg->m_pFontList->setText(QStringLiteral("Thin Times"));
        Click(dlg, "applyButton");
    });
    QVERIFY(CEditorSettingsDlg::Run(nullptr, *m_settings));
    QVERIFY(m_prompt->texts.isEmpty());
    QCOMPARE(m_settings->m_nMaxSym, stored);
    QCOMPARE(m_settings->m_strFontDir, QStringLiteral("/new/fonts"));
    QCOMPARE(m_settings->m_strFontNames, QStringLiteral("Thin Times"));
}

void TestEditorSettingsDlg::refusesMaximum_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("letters") << "abc";
    QTest::newRow("empty") << "";
    QTest::newRow("blanks only") << "   ";
    QTest::newRow("lone minus") << "-";
    QTest::newRow("digits then letters") << "12abc";
    QTest::newRow("blank inside") << "1 2";
    QTest::newRow("zero") << "0";
    QTest::newRow("one") << "1";
    QTest::newRow("negative") << "-5";
    QTest::newRow("above the largest") << "1048577";
    QTest::newRow("beyond 32 bits") << "99999999999999999999";
}

void TestEditorSettingsDlg::refusesMaximum()
{
    QFETCH(QString, typed);
    bool stayedOpen = false;
    bool focusOnField = false;
    WhenModal([&, typed](CEditorSettingsDlg* dlg) {
        dlg->m_pMaxChars->setText(typed);
        dlg->m_pDir->setText(QStringLiteral("/new/fonts"));
        Click(dlg, "applyButton");
        stayedOpen = dlg->isVisible() && QApplication::activeModalWidget() == dlg;
        focusOnField = dlg->focusWidget() == dlg->m_pMaxChars;
        Click(dlg, "cancelButton");
    });
    QVERIFY(!CEditorSettingsDlg::Run(nullptr, *m_settings));
    QVERIFY(stayedOpen);
    QVERIFY(focusOnField);
    QCOMPARE(m_prompt->texts, QStringList{CEditorSettingsDlg::kBadNumber});
    QCOMPARE(m_settings->m_nMaxSym, 3000);
    QCOMPARE(m_settings->m_strFontDir, QStringLiteral("/opt/fonts"));
}

void TestEditorSettingsDlg::cancelKeepsEverything()
{
    WhenModal([](CEditorSettingsDlg* dlg) {
        dlg->m_pMaxChars->setText(QStringLiteral("100"));
        dlg->m_pFontList->setText(QStringLiteral("Times"));
        Click(dlg, "cancelButton");
    });
    QVERIFY(!CEditorSettingsDlg::Run(nullptr, *m_settings));
    QCOMPARE(m_settings->m_nMaxSym, 3000);
    QCOMPARE(m_settings->m_strFontNames, QStringLiteral("Arial Bold"));
}

void TestEditorSettingsDlg::browsePutsOpeningValuesBack()
{
    QString title;
    QString start;
    CEditorSettingsDlg::SetFolderChooser([&](QWidget*, const QString& t, const QString& s) {
        title = t;
        start = s;
        return QStringLiteral("/chosen/dir");
    });
    QString shownMax;
    QString shownList;
    WhenModal([&](CEditorSettingsDlg* dlg) {
        dlg->m_pMaxChars->setText(QStringLiteral("999"));
        dlg->m_pFontList->setText(QStringLiteral("Times"));
        Click(dlg, "browseButton");
        shownMax = dlg->m_pMaxChars->text();
        shownList = dlg->m_pFontList->text();
        Click(dlg, "applyButton");
    });
    QVERIFY(CEditorSettingsDlg::Run(nullptr, *m_settings));
    QCOMPARE(title, QStringLiteral("Выберите директорию со шрифтами"));
    QCOMPARE(start, QStringLiteral("/opt/fonts"));
    QCOMPARE(shownMax, QStringLiteral("3000"));
    QCOMPARE(shownList, QStringLiteral("Arial Bold"));
    QCOMPARE(m_settings->m_strFontDir, QStringLiteral("/chosen/dir"));
    QCOMPARE(m_settings->m_nMaxSym, 3000);
}

void TestEditorSettingsDlg::cancelledBrowseChangesNothing()
{
    CEditorSettingsDlg::SetFolderChooser(
        [](QWidget*, const QString&, const QString&) { return QString(); });
    WhenModal([](CEditorSettingsDlg* dlg) {
        dlg->m_pMaxChars->setText(QStringLiteral("999"));
        dlg->m_pDir->setText(QStringLiteral("/typed"));
        Click(dlg, "browseButton");
        QCOMPARE(dlg->m_pMaxChars->text(), QStringLiteral("999"));
        QCOMPARE(dlg->m_pDir->text(), QStringLiteral("/typed"));
        Click(dlg, "applyButton");
    });
    QVERIFY(CEditorSettingsDlg::Run(nullptr, *m_settings));
    QCOMPARE(m_settings->m_nMaxSym, 999);
    QCOMPARE(m_settings->m_strFontDir, QStringLiteral("/typed"));
}

QTEST_MAIN(TestEditorSettingsDlg)
#include "tst_editorsettingsdlg.moc"
