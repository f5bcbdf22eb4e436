#include "framefixture.h"

#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QToolBar>
#include <QUrl>
#include <QWheelEvent>

namespace
{

// A command id per position, "-" for a separator, the object name for a list.
QStringList ToolBarLayout(CMainFrame& frame)
{
    QStringList layout;
    for (QAction* action : frame.m_wndToolBar->actions()) {
        QWidget* widget = frame.m_wndToolBar->widgetForAction(action);
        if (action->isSeparator())
            layout << QStringLiteral("-");
        else if (qobject_cast<QComboBox*>(widget))
            layout << widget->objectName();
        else
            layout << QString::number(action->data().toInt());
    }
    return layout;
}

// The visible entries of a top-level menu, "-" for a separator.
QStringList MenuLayout(CMainFrame& frame, const QString& title)
{
    QStringList layout;
    for (QAction* top : frame.menuBar()->actions()) {
        if (top->text() != title)
            continue;
        for (QAction* action : top->menu()->actions()) {
            if (action->isVisible())
                layout << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
    }
    return layout;
}

} // namespace

class TestMainFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void toolBarAndStatusBar();
    void listSizes_data();
    void listSizes();
    void menus_data();
    void menus();
    void commands_data();
    void commands();
    void panes();
    void openReplacesTextUnmodified();
    void saveThenOpenGivesSameBytes_data();
    void saveThenOpenGivesSameBytes();
    void saveAndOpenTellWhatWentWrong();
    void wheelLeavesTheListsAlone_data();
    void wheelLeavesTheListsAlone();
    void fileErrorsAreTold_data();
    void fileErrorsAreTold();
    void longFileIsNotShortenedSilently_data();
    void longFileIsNotShortenedSilently();
    void maybeSaveAnswers_data();
    void maybeSaveAnswers();
    void droppedFileOpens();
    void recentFilesListed();
};

void TestMainFrame::toolBarAndStatusBar()
{
    FrameFixture f;
    QCOMPARE(ToolBarLayout(*f.frame).join(u' '),
             "57600 57601 57603 - 57635 57634 57637 - list102 list103 list104 - list101 - "
             "32778 32784 32774 32786 - 32779 32783 32782 - 57664");
    QVERIFY(f.frame->m_wndScaleCombo->isEnabled()); // it sets the preview's dot pitch
    f.frame->NewDocument();
    QVERIFY(f.frame->m_wndScaleCombo->isEnabled());
    QVERIFY(!f.Enabled(C::ID_EDIT_UNDO));
    QVERIFY(!f.Enabled(C::ID_FILE_MRU_FILE1)); // the placeholder of an empty recent-file list
    QCOMPARE(f.frame->m_wndFontCombo->count(), 9);
    const auto items = [](QComboBox* list) {
        QStringList texts;
        for (int n = 0; n < list->count(); ++n)
            texts << list->itemText(n);
        return texts.join(u' ');
    };
    QCOMPARE(items(f.frame->m_wndICombo), "i0 i1 i2 i3 i4 i5 i6 i7 i8 i9");
    QCOMPARE(items(f.frame->m_wndVCombo), "v1 v2 v3 v4 v5");
    QCOMPARE(items(f.frame->m_wndScaleCombo), "100% 200% 300% 400% 500%");

    QCOMPARE(f.frame->m_pIdleText->text(), QStringLiteral("Для получения помощи нажмите F1."));
    QStringList indicators;
    for (QLabel* label : f.frame->m_indicators)
        indicators << label->text();
    QCOMPARE(indicators, QStringList({"CAP", "NUM", "SCRL"}));
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
    QComboBox* combo = f.List(list);
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

void TestMainFrame::menus_data()
{
    QTest::addColumn<QString>("entries");
    QTest::newRow("Файл") << "&Новый\tCtrl+N|&Открыть...\tCtrl+O|&Сохранить\tCtrl+S|Сохранить "
                             "&Как...|Сохранить изображение табло…|-|-|Последние файлы|-|Выход";
    QTest::newRow("&Правка") << "&Отменить\tCtrl+Z|-|Вырезать\tCtrl+X|Копировать\tCtrl+C|"
                                "&Вставить\tCtrl+V";
    QTest::newRow("&Вид") << "&Панель управления|&Строка состояния|Разделяемые окна|Журнал "
                             "передач|-|Язык (Language)";
    QTest::newRow("Действия") << "Вставка символа|Специальные возможности|&Передать текст через "
                                 "порт|Передать текст на несколько табло…";
    QTest::newRow("Настройки") << "Настройки COM порта|Список табло…|Настройки работы "
                                  "устройства|Настройки текстового редактора";
    QTest::newRow("Справка") << "Разделы справки|-|&О программе...";
}

void TestMainFrame::menus()
{
    QFETCH(QString, entries);
    FrameFixture f;
    const QString title = QString::fromUtf8(QTest::currentDataTag());
    QCOMPARE(MenuLayout(*f.frame, title).join(u'|'), entries);
}

void TestMainFrame::commands_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("promptAndTip"); // as the string table holds them
    QTest::newRow("new") << "Ctrl+N" << 57600 << "Создать новый документ\nНовый";
    QTest::newRow("open") << "Ctrl+O" << 57601 << "Открыть существующий документ\nОткрыть";
    QTest::newRow("save") << "Ctrl+S" << 57603 << "Сохранить текущий документ\nСохранить";
    QTest::newRow("save as") << "" << 57604
                             << "Сохранить текущий документ с новым именем\nСохранить как";
    QTest::newRow("save picture") << "" << 32785
                                  << "Сохранить изображение табло в файл PNG\nСохранить "
                                     "изображение табло";
    QTest::newRow("split") << "" << 57653
                           << "Разделение окна просмотра на панели\nРазделенные панели";
    QTest::newRow("symbol") << "" << 32778
                            << "Вставка любого символа из набора всех символов выбранного "
                               "шрифта\nВставка символа";
    QTest::newRow("effects") << "" << 32784
                             << "Специальные возможности вывода текста\n Специальные эффекты";
    QTest::newRow("send") << "" << 32774
                          << "Передача данных через последовательный порт компьютера.\n Передать "
                             "через порт";
    QTest::newRow("port") << "" << 32779
                          << "Настройки последовательного порта компьютера\n Настройки COM порта";
    QTest::newRow("device") << "" << 32783 << "Настройки работы устройства\nНастройки устройства";
    QTest::newRow("editor") << "" << 32782
                            << "Настройки шрифтов и текста в редакторе\nНастройки текстового "
                               "редактора";
    QTest::newRow("about") << "" << 57664
                           << "Отображает информацию о программе, версию, авторские "
                              "права.\nО программе";
    QTest::newRow("copy") << "Ctrl+C, Ctrl+Ins" << 57634 << "";
    QTest::newRow("cut") << "Ctrl+X, Shift+Del" << 57635 << "";
    QTest::newRow("paste") << "Ctrl+V, Shift+Ins" << 57637 << "";
    QTest::newRow("undo") << "Ctrl+Z, Alt+Backspace" << 57643 << "";
    QTest::newRow("help") << "F1" << 57670 << "";
    QTest::newRow("context help") << "Shift+F1" << 57669 << "";
    QTest::newRow("next pane") << "F6" << 57680 << "";
    QTest::newRow("previous pane") << "Shift+F6" << 57681 << "";
}

void TestMainFrame::commands()
{
    QFETCH(QString, keys);
    QFETCH(int, id);
    QFETCH(QString, promptAndTip);
    FrameFixture f;
    QStringList texts;
    for (const QKeySequence& key : f.Action(id)->shortcuts())
        texts << key.toString(QKeySequence::PortableText);
    QCOMPARE(texts.join(QStringLiteral(", ")), keys);
    if (!promptAndTip.isEmpty())
        QCOMPARE(f.Action(id)->statusTip() + u'\n' + f.Action(id)->toolTip(), promptAndTip);
}

void TestMainFrame::panes()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QCOMPARE(f.frame->EditorView()->height(), 100);
    QVERIFY(f.frame->LowerView()->height() > 100);
    QVERIFY(!f.frame->m_wndSplitter->childrenCollapsible());

    QCOMPARE(f.frame->ActivePane(), static_cast<QWidget*>(f.frame->EditorView()));
    QTest::keyClick(&f.Edit(), Qt::Key_F6);
    QTRY_COMPARE(f.frame->ActivePane(), static_cast<QWidget*>(f.frame->LowerView()));
    QVERIFY(!f.Enabled(C::ID_SEND_TEXT)); // the lower pane answers no editor command
    QTest::keyClick(f.frame->LowerView(), Qt::Key_F6, Qt::ShiftModifier);
    QTRY_COMPARE(f.frame->ActivePane(), static_cast<QWidget*>(f.frame->EditorView()));

    // Moving the splitter by keyboard: the keys move it and never reach the text.
    const int moved = 100 + 2 * CMainFrame::kSplitterStep;
    f.Action(C::ID_WINDOW_SPLIT)->trigger();
    QVERIFY(f.frame->IsSplitterTracking());
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
        QTest::keyClick(&f.Edit(), key);
    QVERIFY(!f.frame->IsSplitterTracking());
    QCOMPARE(f.frame->EditorView()->height(), moved);
    QCOMPARE(f.Edit().GetText(), QByteArray());
    f.Action(C::ID_WINDOW_SPLIT)->trigger();
    QTest::keyClick(&f.Edit(), Qt::Key_Up);
    QTest::keyClick(&f.Edit(), Qt::Key_Escape);
    QCOMPARE(f.frame->EditorView()->height(), moved);
}

void TestMainFrame::openReplacesTextUnmodified()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("old text"));
    QVERIFY(f.doc->IsModified());
    f.settings->m_nCurI = 3;
    QVERIFY(f.frame->LoadFile(f.WriteFile(QStringLiteral("msg.tvd"), Hex("41 42 0A 01 07 43"))));
    QCOMPARE(f.Edit().GetText(), QByteArray("AB\ni7C"));
    QVERIFY(!f.doc->IsModified());
    QCOMPARE(f.Title(), QStringLiteral("msg.tvd - Tavrix Editor"));
    QCOMPARE(f.frame->m_wndICombo->currentIndex(), 3);
    QVERIFY(f.prompt.texts.isEmpty());
}

void TestMainFrame::saveThenOpenGivesSameBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain and lines") << Hex("41 42 0A 43");
    QTest::newRow("control codes") << Hex("00 03 41 01 07 03 02 02 04 03 50");
    QTest::newRow("device symbols") << Hex("80 9F A0 BF");
    QTest::newRow("cyrillic and io") << Hex("C0 FF A8 B8 B9");
}

void TestMainFrame::saveThenOpenGivesSameBytes()
{
    QFETCH(QByteArray, bytes);
    FrameFixture f;
    const QString first = f.WriteFile(QStringLiteral("first.tvd"), bytes);
    const QString second = f.dir.filePath(QStringLiteral("second.tvd"));
    QVERIFY(f.frame->LoadFile(first));
    QVERIFY(f.frame->SaveFile(second));
    QCOMPARE(FrameFixture::ReadFile(second), bytes);
    QVERIFY(f.frame->LoadFile(second));
    QVERIFY(f.frame->SaveFile(first));
    QCOMPARE(FrameFixture::ReadFile(first), bytes);
    QVERIFY(f.prompt.texts.isEmpty());
}

void TestMainFrame::saveAndOpenTellWhatWentWrong()
{
    FrameFixture f(8);
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("ABCDEFGHIJ"));
    QVERIFY(!f.frame->SaveFile(f.dir.filePath(QStringLiteral("missing/dir/x.tvd"))));
    QVERIFY(!f.frame->LoadFile(f.dir.filePath(QStringLiteral("nothing.tvd"))));
    QCOMPARE(f.prompt.texts.size(), 2);
    QVERIFY(f.prompt.texts[0].startsWith(QStringLiteral("Не удается сохранить документ")));
    QVERIFY(f.prompt.texts[1].startsWith(QStringLiteral("Не удается открыть документ")));
    QCOMPARE(f.Edit().GetText(), QByteArray("ABCDEFGHIJ"));
    QVERIFY(f.doc->IsModified());
    QCOMPARE(f.Title(), QStringLiteral("Untitled - Tavrix Editor"));

    // A message longer than the device holds: what fits is saved and the user told so.
    f.prompt.texts.clear();
    const QString path = f.dir.filePath(QStringLiteral("long.tvd"));
    QVERIFY(f.frame->SaveFile(path));
    QCOMPARE(FrameFixture::ReadFile(path), QByteArray("ABCDEFG"));
    QCOMPARE(f.prompt.texts,
             QStringList{"Сообщение не помещается в память устройства: сохранено только 7 байт из "
                         "10."});
}

void TestMainFrame::wheelLeavesTheListsAlone_data()
{
    QTest::addColumn<int>("listId");
    QTest::newRow("font") << int(C::ID_FONT_COMBO);
    QTest::newRow("i") << int(C::ID_I_COMBO);
    QTest::newRow("v") << int(C::ID_V_COMBO);
}

void TestMainFrame::wheelLeavesTheListsAlone()
{
    QFETCH(int, listId);
    FrameFixture f;
    QVERIFY(f.Show());
    f.Edit().setFocus();
    QComboBox* list = f.List(listId);
    const QPointF centre = list->rect().center();
    for (int delta : {-120, -120, 120}) {
        QWheelEvent wheel(centre, list->mapToGlobal(centre), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &wheel);
    }
    QCOMPARE(list->currentIndex(), 0);
    QCOMPARE(f.Edit().GetText(), QByteArray());
    QVERIFY(!f.doc->IsModified());
}

void TestMainFrame::fileErrorsAreTold_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("open a missing file")
        << false << "nothing.tvd"
        << "Не удается открыть документ %1.\nНет такого файла или каталога";
    QTest::newRow("save into a missing folder")
        << true << "missing/x.tvd"
        << "Не удается сохранить документ %1.\nНет такого файла или каталога";
}

// The system's reason is told in the program's language too.
void TestMainFrame::fileErrorsAreTold()
{
    QFETCH(bool, save);
    QFETCH(QString, name);
    QFETCH(QString, text);
    FrameFixture f;
    const QString path = f.dir.filePath(name);
    QVERIFY(!(save ? f.frame->SaveFile(path) : f.frame->LoadFile(path)));
    QCOMPARE(f.prompt.texts, QStringList{text.arg(QDir::toNativeSeparators(path))});
}

void TestMainFrame::longFileIsNotShortenedSilently_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes: the shortened message is saved") << true;
    QTest::newRow("no: the file stays as it was") << false;
}

void TestMainFrame::longFileIsNotShortenedSilently()
{
    QFETCH(bool, answer);
    FrameFixture f(2048);
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += char('A' + i % 26);
    const QString path = f.WriteFile(QStringLiteral("long.tvd"), bytes);
    QVERIFY(f.frame->LoadFile(path));
    QCOMPARE(f.prompt.texts, QStringList{"Файл длиннее допустимого размера сообщения (MAXSYM): "
                                         "загружено 2048 байт из 3000."});
    QCOMPARE(f.Edit().GetText(), bytes.left(2048));

    f.prompt.texts.clear();
    f.prompt.answers = {answer};
    QCOMPARE(f.frame->SaveFile(path), answer);
    QCOMPARE(f.prompt.texts,
             QStringList{"Файл длиннее допустимого размера сообщения (MAXSYM): будет сохранено "
                         "только 2047 байт из 3000.\nСохранить сокращенное сообщение?"});
    QCOMPARE(FrameFixture::ReadFile(path), answer ? bytes.left(2047) : bytes);

    // Once saved over, nothing of the file is left unread: the next save only tells that the
    // text read (one byte more than the stream holds) does not fit.
    f.prompt.texts.clear();
    f.prompt.answers = {false};
    QCOMPARE(f.frame->SaveFile(path), answer);
    QCOMPARE(f.prompt.texts.size(), 1);
    QCOMPARE(f.prompt.texts.first().startsWith("Сообщение не помещается в память устройства: "
                                               "сохранено только 2047 байт из 2048."),
             answer);
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
    QCOMPARE(f.Title(), replaced ? QStringLiteral("Untitled - Tavrix Editor")
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
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(f.WriteFile(QStringLiteral("drop.tvd"), "Dropped"))});
    // A drop reaches the widget that accepted the drag when it entered.
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.Edit().viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.Edit().viewport(), &drop);
    QCOMPARE(f.Edit().GetText(), QByteArray("Dropped"));
    QCOMPARE(f.Title(), QStringLiteral("drop.tvd - Tavrix Editor"));
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
    QCOMPARE(recent.size(), 4);
    QVERIFY(recent.at(0)->isVisible());
    QCOMPARE(recent.at(0)->data().toString(), paths.at(4));
    QCOMPARE(recent.at(3)->data().toString(), paths.at(1));
    QVERIFY(!f.Action(C::ID_FILE_MRU_FILE1)->isVisible());
    QVERIFY2(recent.at(0)->text().startsWith("&1 r4.tvd ("), qPrintable(recent.at(0)->text()));
    QVERIFY(!recent.at(0)->text().contains(paths.at(4)));

    // An entry whose file has gone leaves the list when it fails to open.
    QVERIFY(QFile::remove(paths.at(3)));
    recent.at(1)->trigger();
    QCOMPARE(f.prompt.texts.size(), 1);
    QCOMPARE(recent.at(1)->data().toString(), paths.at(2));
    QVERIFY(!recent.at(3)->isVisible());

    // A second frame on the same profile sees the same list.
    CTavrixEditorDoc doc(*f.settings, f.prompt);
    CMainFrame other(*f.settings, f.fonts, f.prompt, f.question, doc);
    QCOMPARE(other.RecentFileActions().at(0)->data().toString(), paths.at(4));
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
