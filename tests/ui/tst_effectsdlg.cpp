#include "device/effectsdlg.h"
#include "editor/interactiveeditctrl.h"
#include "editor/messagecodec.h"
#include "editor/tavrixeditordoc.h"
#include "fakeprompt.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestEffectsDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensWithListsDisabled();
    void checkBoxesEnableTheirLists();
    void insertsChoice_data();
    void insertsChoice();

private:
    QByteArray Stream() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakePrompt> m_prompt;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CInteractiveEditCtrl> m_edit;
    std::unique_ptr<CTavrixEditorDoc> m_doc;
    std::unique_ptr<CMessageCodec> m_codec;
};

void TestEffectsDlg::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompt = std::make_unique<FakePrompt>();
    m_settings = std::make_unique<AppSettings>(*m_prompt, m_dir->path());
    m_edit = std::make_unique<CInteractiveEditCtrl>();
    m_doc = std::make_unique<CTavrixEditorDoc>(*m_settings, *m_prompt);
    m_edit->SetDocument(m_doc.get());
    m_codec = std::make_unique<CMessageCodec>(*m_edit, *m_prompt);
    m_codec->SetDocument(m_doc.get());
}

void TestEffectsDlg::cleanup()
{
    m_codec.reset();
    m_doc.reset();
    m_edit.reset();
    m_settings.reset();
    m_prompt.reset();
    m_dir.reset();
}

QByteArray TestEffectsDlg::Stream() const
{
    m_codec->EncodeText();
    return QByteArray(reinterpret_cast<const char*>(m_doc->m_pData.get()), m_doc->m_nLength);
}

void TestEffectsDlg::opensWithListsDisabled()
{
    CEffectsDlg dlg;
    QVERIFY(!dlg.m_pFullStop->isChecked());
    QVERIFY(!dlg.m_pEffects->isChecked());
    QVERIFY(!dlg.m_pDurationLabel->isEnabled());
    QVERIFY(!dlg.m_pDuration->isEnabled());
    QVERIFY(!dlg.m_pEffect->isEnabled());
    QCOMPARE(dlg.m_pDuration->currentText(), QStringLiteral("1"));
    QCOMPARE(dlg.m_pEffect->currentText(), QStringLiteral("сдвиг строки вверх"));
    QCOMPARE(dlg.m_pEffect->count(), 5);
    QCOMPARE(dlg.m_pEffect->itemText(4), QStringLiteral("закраска строки шумом"));
    QVERIFY(dlg.findChild<QPushButton*>(QStringLiteral("okButton"))->isDefault());
}

void TestEffectsDlg::checkBoxesEnableTheirLists()
{
    CEffectsDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.m_pFullStop->click();
    QVERIFY(dlg.m_pDuration->isEnabled());
    QVERIFY(dlg.m_pDurationLabel->isEnabled());
    QVERIFY(!dlg.m_pEffect->isEnabled());
    dlg.m_pEffects->click();
    QVERIFY(dlg.m_pEffect->isEnabled());
    dlg.m_pFullStop->click();
    QVERIFY(!dlg.m_pDuration->isEnabled());
    QVERIFY(!dlg.m_pDurationLabel->isEnabled());
    QVERIFY(dlg.m_pEffect->isEnabled());
}

void TestEffectsDlg::insertsChoice_data()
{
    QTest::addColumn<bool>("stop");
    QTest::addColumn<int>("duration"); // list position
    QTest::addColumn<bool>("effect");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<bool>>("uncheck"); // stop, effect
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stream");
    const QList<bool> keep{false, false};
    QTest::newRow("stop 7") << true << 6 << false << 0 << keep << true << "s7"
                            << QByteArray("\x03\x70", 2);
    QTest::newRow("noise") << false << 0 << true << 4 << keep << true << "e4"
                           << QByteArray("\x02\x04", 2);
    QTest::newRow("both: stop first")
        << true << 2 << true << 1 << keep << true << "s3e1" << QByteArray("\x03\x30\x02\x01", 4);
    QTest::newRow("stop 9 is the last")
        << true << 8 << false << 0 << keep << true << "s9" << QByteArray("\x03\x90", 2);
    QTest::newRow("unchecked again") << true << 6 << true << 4 << QList<bool>{true, false} << true
                                     << "e4" << QByteArray("\x02\x04", 2);
    QTest::newRow("both unchecked again")
        << true << 6 << true << 4 << QList<bool>{true, true} << true << "" << QByteArray();
    QTest::newRow("cancel") << true << 6 << true << 4 << keep << false << "" << QByteArray();
}

void TestEffectsDlg::insertsChoice()
{
    QFETCH(bool, stop);
    QFETCH(int, duration);
    QFETCH(bool, effect);
    QFETCH(int, index);
    QFETCH(QList<bool>, uncheck);
    QFETCH(bool, accept);
    QFETCH(QString, text);
    QFETCH(QByteArray, stream);
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CEffectsDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        if (stop) {
            dlg->m_pFullStop->click();
            dlg->m_pDuration->setCurrentIndex(duration);
        }
        if (effect) {
            dlg->m_pEffects->click();
            dlg->m_pEffect->setCurrentIndex(index);
        }
        if (uncheck[0])
            dlg->m_pFullStop->click();
        if (uncheck[1])
            dlg->m_pEffects->click();
        const char* button = accept ? "okButton" : "cancelButton";
        dlg->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    });
    CEffectsDlg::OnEffects(nullptr, *m_codec);
    QCOMPARE(m_edit->toPlainText(), text);
    for (int i = 0; i < text.size(); ++i)
        QCOMPARE(m_edit->GetCharColor(i), CMessageCodec::kControlColor);
    QCOMPARE(Stream(), stream);
}

QTEST_MAIN(TestEffectsDlg)
#include "tst_effectsdlg.moc"
