#include "editor/effectsdlg.h"
#include "editorfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

class TestEffectsDlg : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void checkBoxesEnableTheirLists();
    void insertsChoice_data();
    void insertsChoice();
};

void TestEffectsDlg::checkBoxesEnableTheirLists()
{
    CEffectsDlg dlg;
    QCOMPARE(dlg.m_pDuration->currentText(), QStringLiteral("1"));
    QCOMPARE(dlg.m_pEffect->count(), 5);
    QCOMPARE(dlg.m_pEffect->currentText(), QStringLiteral("сдвиг строки вверх"));
    QCOMPARE(dlg.m_pEffect->itemText(4), QStringLiteral("закраска строки шумом"));
    QVERIFY(dlg.findChild<QPushButton*>(QStringLiteral("okButton"))->isDefault());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    // Enabled: duration label, duration list, effect list; after nothing, stop, effects, stop.
    const auto state = [&dlg] {
        return QList<bool>{dlg.m_pDurationLabel->isEnabled(), dlg.m_pDuration->isEnabled(),
                           dlg.m_pEffect->isEnabled()};
    };
    QCOMPARE(state(), QList<bool>({false, false, false}));
    dlg.m_pFullStop->click();
    QCOMPARE(state(), QList<bool>({true, true, false}));
    dlg.m_pEffects->click();
    QCOMPARE(state(), QList<bool>({true, true, true}));
    dlg.m_pFullStop->click();
    QCOMPARE(state(), QList<bool>({false, false, true}));
}

void TestEffectsDlg::insertsChoice_data()
{
    QTest::addColumn<int>("duration"); // list position, -1: "Полная остановка текста" unchecked
    QTest::addColumn<int>("effect"); // list position, -1: "Спецэффекты" unchecked
    QTest::addColumn<QList<bool>>("uncheck"); // stop, effects
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stream");
    const QList<bool> keep{false, false};
    QTest::newRow("stop 7") << 6 << -1 << keep << true << "s7" << Hex("03 70");
    QTest::newRow("noise") << -1 << 4 << keep << true << "e4" << Hex("02 04");
    QTest::newRow("both: stop first") << 2 << 1 << keep << true << "s3e1" << Hex("03 30 02 01");
    QTest::newRow("stop 9 is the last") << 8 << -1 << keep << true << "s9" << Hex("03 90");
    QTest::newRow("unchecked again")
        << 6 << 4 << QList<bool>{true, false} << true << "e4" << Hex("02 04");
    QTest::newRow("both unchecked again")
        << 6 << 4 << QList<bool>{true, true} << true << "" << QByteArray();
    QTest::newRow("cancel") << 6 << 4 << keep << false << "" << QByteArray();
}

void TestEffectsDlg::insertsChoice()
{
    QFETCH(int, duration);
    QFETCH(int, effect);
    QFETCH(QList<bool>, uncheck);
    QFETCH(bool, accept);
    QFETCH(QString, text);
    QFETCH(QByteArray, stream);
    EditorFixture f;
    WhenModal<CEffectsDlg>([&](CEffectsDlg* dlg) {
        if (duration >= 0) {
            dlg->m_pFullStop->click();
            dlg->m_pDuration->setCurrentIndex(duration);
        }
        if (effect >= 0) {
            dlg->m_pEffects->click();
            dlg->m_pEffect->setCurrentIndex(effect);
        }
        if (uncheck[0])
            dlg->m_pFullStop->click();
        if (uncheck[1])
            dlg->m_pEffects->click();
        Click(dlg, accept ? "okButton" : "cancelButton");
    });
    CEffectsDlg::OnEffects(nullptr, f.codec);
    QCOMPARE(f.edit.toPlainText(), text);
    for (int i = 0; i < text.size(); ++i)
        QCOMPARE(f.edit.GetCharColor(i), CMessageCodec::kControlColor);
    QCOMPARE(f.Encode(), stream);
}

QTEST_MAIN(TestEffectsDlg)
#include "tst_effectsdlg.moc"
