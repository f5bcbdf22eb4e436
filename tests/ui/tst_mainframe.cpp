#include "app/commandtable.h"
#include "editor/tavrixview.h"
#include "framefixture.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QUrl>

namespace
{

using C = CommandTable;

// What a toolbar position holds: a command id, 0 for a separator, "list<id>" for a list.
QStringList ToolBarLayout(CMainFrame& frame)
{
    QStringList layout;
    for (QAction* action : frame.m_wndToolBar->actions()) {
        if (action->isSeparator())
            layout << QStringLiteral("-");
        else if (QWidget* widget = frame.m_wndToolBar->widgetForAction(action);
                 qobject_cast<QComboBox*>(widget))
            layout << widget->objectName();
        else
            layout << QString::number(action->data().toInt());
    }
    return layout;
}

QMenu* TopMenu(CMainFrame& frame, const QString& title)
{
    for (QAction* action : frame.menuBar()->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

QByteArray Bytes(const char* data, int size)
{
    return QByteArray(data, size);
}

} // namespace

class TestMainFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void toolBarOrder();
    void listSizes_data();
    void listSizes();
    void scaleListDisabled();
    void menuItems_data();
    void menuItems();
    void fileMenuHasTwoSeparatorsThenRecentFiles();
    void accelerators_data();
    void accelerators();
    void promptsAndTooltips_data();
    void promptsAndTooltips();
    void statusBarPanes();
    void splitterStartsWithTopPane100High();
    void f6MovesBetweenPanes();
    void splitterMovesByKeyboard();
    void openReplacesTextUnmodified();
    void saveThenOpenGivesSameBytes_data();
    void saveThenOpenGivesSameBytes();
    void saveOfTooLongMessageTellsWhatWasKept();
    void failedSaveKeepsDocumentModified();
    void failedOpenKeepsDocument();
    void maybeSaveAnswers_data();
    void maybeSaveAnswers();
    void droppedFileOpens();
    void recentFilesListed();
};

void TestMainFrame::toolBarOrder()
{
    FrameFixture f;
    const QStringList expected = {"57600",   "57601", "57603",   "-",       "57635",   "57634",
                                  "57637",   "-",     "list102", "list103", "list104", "-",
                                  "list101", "-",     "32778",   "32784",   "32774",   "-",
                                  "32779",   "32783", "32782",   "-",       "57664"};
    QCOMPARE(ToolBarLayout(*f.frame), expected);
}

void TestMainFrame::listSizes_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("dropDown");
    QTest::newRow("font") << 102 << 120 << 200;
    QTest::newRow("i") << 103 << 50 << 400;
    QTest::newRow("v") << 104 << 45 << 200;
    QTest::newRow("scale") << 101 << 60 << 200;
}

void TestMainFrame::listSizes()
{
    QFETCH(int, list);
    QFETCH(int, width);
    QFETCH(int, dropDown);
    FrameFixture f;
    QVERIFY(f.Show());
    auto* combo = f.frame->findChild<QComboBox*>(QStringLiteral("list%1").arg(list));
    QVERIFY(combo);
    QCOMPARE(combo->width(), width);

    // With many more entries than fit, the open list stops at its drop-down height.
    combo->setEnabled(true);
    for (int n = 0; n < 60; ++n)
        combo->addItem(QStringLiteral("x%1").arg(n));
    combo->showPopup();
    QWidget* popup = combo->view()->window();
    QTRY_VERIFY(popup->isVisible());
    QVERIFY2(popup->height() <= dropDown, qPrintable(QString::number(popup->height())));
    QVERIFY(popup->height() > dropDown / 2);
    combo->hidePopup();
}

void TestMainFrame::scaleListDisabled()
{
    FrameFixture f;
    QVERIFY(!f.frame->m_wndScaleCombo->isEnabled());
    QCOMPARE(f.frame->m_wndScaleCombo->count(), 5);
    QCOMPARE(f.frame->m_wndScaleCombo->itemText(0), QStringLiteral("100%"));
    f.frame->NewDocument();
    QVERIFY(!f.frame->m_wndScaleCombo->isEnabled());
}

void TestMainFrame::menuItems_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("caption");

    QTest::newRow("new") << "Файл" << 0 << "&Новый\tCtrl+N";
    QTest::newRow("open") << "Файл" << 1 << "&Открыть...\tCtrl+O";
    QTest::newRow("save") << "Файл" << 2 << "&Сохранить\tCtrl+S";
    QTest::newRow("save as") << "Файл" << 3 << "Сохранить &Как...";
    QTest::newRow("undo") << "&Правка" << 0 << "&Отменить\tCtrl+Z";
    QTest::newRow("cut") << "&Правка" << 2 << "Вырезать\tCtrl+X";
    QTest::newRow("copy") << "&Правка" << 3 << "Копировать\tCtrl+C";
    QTest::newRow("paste") << "&Правка" << 4 << "&Вставить\tCtrl+V";
    QTest::newRow("toolbar") << "&Вид" << 0 << "&Панель управления";
    QTest::newRow("status bar") << "&Вид" << 1 << "&Строка состояния";
    QTest::newRow("split") << "&Вид" << 2 << "Разделяемые окна";
    QTest::newRow("symbol") << "Действия" << 0 << "Вставка символа";
    QTest::newRow("effects") << "Действия" << 1 << "Специальные возможности";
    QTest::newRow("send") << "Действия" << 2 << "&Передать текст через порт";
    QTest::newRow("port") << "Настройки" << 0 << "Настройки COM порта";
    QTest::newRow("device") << "Настройки" << 1 << "Настройки работы устройства";
    QTest::newRow("editor") << "Настройки" << 2 << "Настройки текстового редактора";
    QTest::newRow("help") << "Справка" << 0 << "Разделы справки";
    QTest::newRow("about") << "Справка" << 2 << "&О программе...";
}

void TestMainFrame::menuItems()
{
    QFETCH(QString, menu);
    QFETCH(int, position);
    QFETCH(QString, caption);
    FrameFixture f;
    QMenu* top = TopMenu(*f.frame, menu);
    QVERIFY(top);
    QList<QAction*> items = top->actions();
    items.removeIf([](QAction* a) { return !a->isVisible(); });
    QVERIFY(position < items.size());
    QCOMPARE(items.at(position)->text(), caption);
}

void TestMainFrame::fileMenuHasTwoSeparatorsThenRecentFiles()
{
    FrameFixture f;
    QList<QAction*> items = TopMenu(*f.frame, QStringLiteral("Файл"))->actions();
    items.removeIf([](QAction* a) { return !a->isVisible(); });
    QCOMPARE(items.size(), 9);
    QVERIFY(items.at(4)->isSeparator());
    QVERIFY(items.at(5)->isSeparator());
    QCOMPARE(items.at(6)->text(), QStringLiteral("Последние файлы"));
    QVERIFY(!items.at(6)->isEnabled());
    QVERIFY(items.at(7)->isSeparator());
    QCOMPARE(items.at(8)->text(), QStringLiteral("Выход"));
    QCOMPARE(TopMenu(*f.frame, QStringLiteral("&Правка"))->actions().at(0)->isEnabled(), false);
}

void TestMainFrame::accelerators_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("keys");
    QTest::newRow("new") << 57600 << "Ctrl+N";
    QTest::newRow("open") << 57601 << "Ctrl+O";
    QTest::newRow("save") << 57603 << "Ctrl+S";
    QTest::newRow("copy") << 57634 << "Ctrl+C, Ctrl+Ins";
    QTest::newRow("cut") << 57635 << "Ctrl+X, Shift+Del";
    QTest::newRow("paste") << 57637 << "Ctrl+V, Shift+Ins";
    QTest::newRow("undo") << 57643 << "Ctrl+Z, Alt+Backspace";
    QTest::newRow("help") << 57670 << "F1";
    QTest::newRow("context help") << 57669 << "Shift+F1";
    QTest::newRow("next pane") << 57680 << "F6";
    QTest::newRow("previous pane") << 57681 << "Shift+F6";
}

void TestMainFrame::accelerators()
{
    QFETCH(int, id);
    QFETCH(QString, keys);
    FrameFixture f;
    QStringList texts;
    for (const QKeySequence& key : f.Action(id)->shortcuts())
        texts << key.toString(QKeySequence::PortableText);
    QCOMPARE(texts.join(QStringLiteral(", ")), keys);
}

void TestMainFrame::promptsAndTooltips_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("send") << 32774 << "Передача данных через последовательный порт компьютера."
                          << " Передать через порт";
    QTest::newRow("port") << 32779 << "Настройки последовательного порта компьютера"
                          << " Настройки COM порта";
    QTest::newRow("effects") << 32784 << "Специальные возможности вывода текста"
                             << " Специальные эффекты";
    QTest::newRow("device") << 32783 << "Настройки работы устройства"
                            << "Настройки устройства";
    QTest::newRow("save as") << 57604 << "Сохранить текущий документ с новым именем"
                             << "Сохранить как";
    QTest::newRow("about") << 57664 << "Отображает информацию о программе, версию, авторские права."
                           << "О программе";
}

void TestMainFrame::promptsAndTooltips()
{
    QFETCH(int, id);
    QFETCH(QString, prompt);
    QFETCH(QString, tooltip);
    FrameFixture f;
    QCOMPARE(f.Action(id)->statusTip(), prompt);
    QCOMPARE(f.Action(id)->toolTip(), tooltip);
}

void TestMainFrame::statusBarPanes()
{
    FrameFixture f;
    QCOMPARE(f.frame->m_pIdleText->text(), QStringLiteral("Для получения помощи нажмите F1."));
    QStringList indicators;
    for (QLabel* label : f.frame->m_indicators)
        indicators << label->text();
    QCOMPARE(indicators, (QStringList{"CAP", "NUM", "SCRL"}));
}

void TestMainFrame::splitterStartsWithTopPane100High()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QCOMPARE(f.frame->EditorView()->height(), 100);
    QVERIFY(f.frame->LowerView()->height() > 100);
    QVERIFY(!f.frame->m_wndSplitter->childrenCollapsible());
}

void TestMainFrame::f6MovesBetweenPanes()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QCOMPARE(f.frame->ActivePane(), static_cast<QWidget*>(f.frame->EditorView()));
    QTest::keyClick(&f.Edit(), Qt::Key_F6);
    QTRY_COMPARE(f.frame->ActivePane(), static_cast<QWidget*>(f.frame->LowerView()));
    QVERIFY(!f.Action(C::ID_SEND_TEXT)->isEnabled()); // the lower pane answers no editor command
    QTest::keyClick(f.frame->LowerView(), Qt::Key_F6, Qt::ShiftModifier);
    QTRY_COMPARE(f.frame->ActivePane(), static_cast<QWidget*>(f.frame->EditorView()));
}

void TestMainFrame::splitterMovesByKeyboard()
{
    FrameFixture f;
    QVERIFY(f.Show());
    const int start = f.frame->EditorView()->height();
    f.Action(C::ID_WINDOW_SPLIT)->trigger();
    QVERIFY(f.frame->IsSplitterTracking());
    QTest::keyClick(&f.Edit(), Qt::Key_Down);
    QTest::keyClick(&f.Edit(), Qt::Key_Down);
    QTest::keyClick(&f.Edit(), Qt::Key_Return);
    QVERIFY(!f.frame->IsSplitterTracking());
    QCOMPARE(f.frame->EditorView()->height(), start + 2 * CMainFrame::kSplitterStep);
    QCOMPARE(f.Edit().GetText(), QByteArray()); // the keys did not reach the text

    f.Action(C::ID_WINDOW_SPLIT)->trigger();
    QTest::keyClick(&f.Edit(), Qt::Key_Up);
    QTest::keyClick(&f.Edit(), Qt::Key_Escape);
    QCOMPARE(f.frame->EditorView()->height(), start + 2 * CMainFrame::kSplitterStep);
}

void TestMainFrame::openReplacesTextUnmodified()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("old text"));
    QVERIFY(f.doc->IsModified());
    const QString path = f.WriteFile(QStringLiteral("msg.tvd"), Bytes("AB\x0A\x01\x07"
                                                                      "C",
                                                                      6));
    f.settings->m_nCurI = 3;
    QVERIFY(f.frame->LoadFile(path));
    QCOMPARE(f.Edit().GetText(), QByteArray("AB\ni7C"));
    QVERIFY(!f.doc->IsModified());
    QCOMPARE(f.frame->windowTitle(), QStringLiteral("msg.tvd - Tavrix Editor"));
    QCOMPARE(f.frame->m_wndICombo->currentIndex(), 3);
    QVERIFY(f.prompt.texts.isEmpty());
}

void TestMainFrame::saveThenOpenGivesSameBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain and lines") << QByteArray("AB\x0A"
                                                   "C");
    QTest::newRow("control codes") << Bytes("\x00\x03"
                                            "A\x01\x07\x03\x02\x02\x04\x03\x50",
                                            11);
    QTest::newRow("device symbols") << QByteArray("\x80\x9F\xA0\xBF");
    QTest::newRow("cyrillic and io") << QByteArray("\xC0\xFF\xA8\xB8\xB9");
}

void TestMainFrame::saveThenOpenGivesSameBytes()
{
    QFETCH(QByteArray, bytes);
    FrameFixture f;
    const QString first = f.WriteFile(QStringLiteral("first.tvd"), bytes);
    QVERIFY(f.frame->LoadFile(first));
    const QString second = f.dir.filePath(QStringLiteral("second.tvd"));
    QVERIFY(f.frame->SaveFile(second));
    QCOMPARE(FrameFixture::ReadFile(second), bytes);
    QVERIFY(f.frame->LoadFile(second));
    QVERIFY(f.frame->SaveFile(first));
    QCOMPARE(FrameFixture::ReadFile(first), bytes);
    QVERIFY(f.prompt.texts.isEmpty());
}

void TestMainFrame::saveOfTooLongMessageTellsWhatWasKept()
{
    FrameFixture f(8);
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("ABCDEFGHIJ"));
    const QString path = f.dir.filePath(QStringLiteral("long.tvd"));
    QVERIFY(f.frame->SaveFile(path));
    QCOMPARE(FrameFixture::ReadFile(path), QByteArray("ABCDEFG"));
    QCOMPARE(f.prompt.texts, QStringList{CMainFrame::SavedShortenedText(7, 10)});
}

void TestMainFrame::failedSaveKeepsDocumentModified()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("AB"));
    const QString path = f.dir.filePath(QStringLiteral("missing/dir/x.tvd"));
    QVERIFY(!f.frame->SaveFile(path));
    QVERIFY(f.doc->IsModified());
    QCOMPARE(f.prompt.texts.size(), 1);
    QVERIFY(f.prompt.texts.first().startsWith(QStringLiteral("Не удается сохранить документ")));
    QCOMPARE(f.frame->windowTitle(), QStringLiteral("Untitled - Tavrix Editor"));
}

void TestMainFrame::failedOpenKeepsDocument()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("keep"));
    QVERIFY(!f.frame->LoadFile(f.dir.filePath(QStringLiteral("nothing.tvd"))));
    QCOMPARE(f.prompt.texts.size(), 1);
    QVERIFY(f.prompt.texts.first().startsWith(QStringLiteral("Не удается открыть документ")));
    QCOMPARE(f.Edit().GetText(), QByteArray("keep"));
    QVERIFY(f.doc->IsModified());
}

void TestMainFrame::maybeSaveAnswers_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("yes saves, then new") << int(ISaveQuestion::Yes) << true << QByteArray("ABX");
    QTest::newRow("no discards") << int(ISaveQuestion::No) << true << QByteArray("AB");
    QTest::newRow("cancel keeps all") << int(ISaveQuestion::Cancel) << false << QByteArray("AB");
}

void TestMainFrame::maybeSaveAnswers()
{
    QFETCH(int, answer);
    QFETCH(bool, replaced);
    QFETCH(QByteArray, file);
    FrameFixture f;
    QVERIFY(f.Show());
    const QString path = f.WriteFile(QStringLiteral("doc.tvd"), "AB");
    QVERIFY(f.frame->LoadFile(path));
    f.Edit().SetSel(2, 2);
    QTest::keyClicks(&f.Edit(), QStringLiteral("X"));
    f.question.answers = {ISaveQuestion::Answer(answer)};

    f.Action(C::ID_FILE_NEW)->trigger();
    QCOMPARE(f.question.texts, QStringList{QStringLiteral("Сохранить изменения в doc.tvd?")});
    QCOMPARE(FrameFixture::ReadFile(path), file);
    QCOMPARE(f.Edit().GetText(), replaced ? QByteArray() : QByteArray("ABX"));
    QCOMPARE(f.frame->windowTitle(), replaced ? QStringLiteral("Untitled - Tavrix Editor")
                                              : QStringLiteral("doc.tvd - Tavrix Editor"));
    // Closing asks the same question while the document is modified.
    f.question.texts.clear();
    f.question.answers = {ISaveQuestion::Cancel};
    QCOMPARE(f.frame->close(), !f.doc->IsModified());
    QCOMPARE(f.question.texts.size(), f.doc->IsModified() ? 1 : 0);
}

void TestMainFrame::droppedFileOpens()
{
    FrameFixture f;
    QVERIFY(f.Show());
    const QString path = f.WriteFile(QStringLiteral("drop.tvd"), "Dropped");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    // A drop reaches the widget that accepted the drag when it entered.
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.Edit().viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.Edit().viewport(), &drop);
    QCOMPARE(f.Edit().GetText(), QByteArray("Dropped"));
    QCOMPARE(f.frame->windowTitle(), QStringLiteral("drop.tvd - Tavrix Editor"));
}

void TestMainFrame::recentFilesListed()
{
    FrameFixture f;
    QStringList paths;
    for (int n = 0; n < 5; ++n) {
        paths << f.WriteFile(QStringLiteral("r%1.tvd").arg(n), "R");
        QVERIFY(f.frame->LoadFile(paths.last()));
    }
    const QList<QAction*> recent = f.frame->RecentFileActions();
    QCOMPARE(recent.size(), CMainFrame::kMaxRecentFiles);
    QVERIFY(recent.at(0)->isVisible());
    QCOMPARE(recent.at(0)->data().toString(), paths.at(4));
    QCOMPARE(recent.at(3)->data().toString(), paths.at(1));
    QVERIFY(!f.Action(C::ID_FILE_MRU_FILE1)->isVisible());

    // A second frame on the same profile sees the same list.
    auto doc = std::make_unique<CTavrixEditorDoc>(*f.settings, f.prompt);
    CMainFrame other(*f.settings, f.prompt, f.question, *doc);
    QCOMPARE(other.RecentFileActions().at(0)->data().toString(), paths.at(4));
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
