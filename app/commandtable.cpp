#include "app/commandtable.h"

#include <QCoreApplication>
#include <algorithm>

namespace
{

using Keys = QList<QKeySequence>;

QKeySequence Key(QKeyCombination combination)
{
    return QKeySequence(combination);
}

// The standard commands keep the framework's English prompts; the program's own are Russian.
// Texts stay in the source language here and are translated where the window shows them.
std::vector<CommandTable::Command> BuildCommands()
{
    using C = CommandTable;
    const auto ctrl = Qt::ControlModifier;
    const auto shift = Qt::ShiftModifier;
    return {
        {C::ID_FILE_NEW, QT_TRANSLATE_NOOP("CommandTable", "&Новый\tCtrl+N"),
         Keys{Key(ctrl | Qt::Key_N)}, QT_TRANSLATE_NOOP("CommandTable", "Создать новый документ"),
         QT_TRANSLATE_NOOP("CommandTable", "Новый"), ":/icons/new.png", "document-new"},
        {C::ID_FILE_OPEN, QT_TRANSLATE_NOOP("CommandTable", "&Открыть...\tCtrl+O"),
         Keys{Key(ctrl | Qt::Key_O)},
         QT_TRANSLATE_NOOP("CommandTable", "Открыть существующий документ"),
         QT_TRANSLATE_NOOP("CommandTable", "Открыть"), ":/icons/open.png", "document-open"},
        {C::ID_FILE_SAVE, QT_TRANSLATE_NOOP("CommandTable", "&Сохранить\tCtrl+S"),
         Keys{Key(ctrl | Qt::Key_S)},
         QT_TRANSLATE_NOOP("CommandTable", "Сохранить текущий документ"),
         QT_TRANSLATE_NOOP("CommandTable", "Сохранить"), ":/icons/save.png", "document-save"},
        {C::ID_FILE_SAVE_AS,
         QT_TRANSLATE_NOOP("CommandTable", "Сохранить &Как..."),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable", "Сохранить текущий документ с новым именем"),
         QT_TRANSLATE_NOOP("CommandTable", "Сохранить как"),
         {},
         {}},
        {C::ID_SAVE_PICTURE,
         QT_TRANSLATE_NOOP("CommandTable", "Сохранить изображение табло…"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable", "Сохранить изображение табло в файл PNG"),
         QT_TRANSLATE_NOOP("CommandTable", "Сохранить изображение табло"),
         {},
         {}},
        {C::ID_FILE_MRU_FILE1,
         QT_TRANSLATE_NOOP("CommandTable", "Последние файлы"),
         Keys{},
         "Open this document",
         {},
         {},
         {}},
        {C::ID_APP_EXIT,
         QT_TRANSLATE_NOOP("CommandTable", "Выход"),
         Keys{},
         "Quit the application; prompts to save documents",
         "Exit",
         {},
         {}},
        {C::ID_EDIT_UNDO,
         QT_TRANSLATE_NOOP("CommandTable", "&Отменить\tCtrl+Z"),
         Keys{Key(ctrl | Qt::Key_Z), Key(Qt::AltModifier | Qt::Key_Backspace)},
         "Undo the last action",
         "Undo",
         {},
         {}},
        {C::ID_EDIT_CUT, QT_TRANSLATE_NOOP("CommandTable", "Вырезать\tCtrl+X"),
         Keys{Key(ctrl | Qt::Key_X), Key(shift | Qt::Key_Delete)},
         "Cut the selection and put it on the Clipboard", "Cut", ":/icons/cut.png", "edit-cut"},
        {C::ID_EDIT_COPY, QT_TRANSLATE_NOOP("CommandTable", "Копировать\tCtrl+C"),
         Keys{Key(ctrl | Qt::Key_C), Key(ctrl | Qt::Key_Insert)},
         "Copy the selection and put it on the Clipboard", "Copy", ":/icons/copy.png", "edit-copy"},
        {C::ID_EDIT_PASTE, QT_TRANSLATE_NOOP("CommandTable", "&Вставить\tCtrl+V"),
         Keys{Key(ctrl | Qt::Key_V), Key(shift | Qt::Key_Insert)}, "Insert Clipboard contents",
         "Paste", ":/icons/paste.png", "edit-paste"},
        {C::ID_VIEW_TOOLBAR,
         QT_TRANSLATE_NOOP("CommandTable", "&Панель управления"),
         Keys{},
         "Show or hide the toolbar",
         "Toggle ToolBar",
         {},
         {}},
        {C::ID_VIEW_STATUS_BAR,
         QT_TRANSLATE_NOOP("CommandTable", "&Строка состояния"),
         Keys{},
         "Show or hide the status bar",
         "Toggle StatusBar",
         {},
         {}},
        {C::ID_WINDOW_SPLIT,
         QT_TRANSLATE_NOOP("CommandTable", "Разделяемые окна"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable", "Разделение окна просмотра на панели"),
         QT_TRANSLATE_NOOP("CommandTable", "Разделенные панели"),
         {},
         {}},
        {C::ID_INSERT_SYMBOL,
         QT_TRANSLATE_NOOP("CommandTable", "Вставка символа"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable",
                           "Вставка любого символа из набора всех символов выбранного шрифта"),
         QT_TRANSLATE_NOOP("CommandTable", "Вставка символа"),
         ":/icons/symbol.png",
         {}},
        {C::ID_EFFECTS,
         QT_TRANSLATE_NOOP("CommandTable", "Специальные возможности"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable", "Специальные возможности вывода текста"),
         QT_TRANSLATE_NOOP("CommandTable", " Специальные эффекты"),
         ":/icons/effects.png",
         {}},
        {C::ID_SEND_TEXT,
         QT_TRANSLATE_NOOP("CommandTable", "&Передать текст через порт"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable",
                           "Передача данных через последовательный порт компьютера."),
         QT_TRANSLATE_NOOP("CommandTable", " Передать через порт"),
         ":/icons/send.png",
         {}},
        {C::ID_SEND_MANY,
         QT_TRANSLATE_NOOP("CommandTable", "Передать текст на несколько табло…"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable",
                           "Передача сообщения сразу на несколько табло из списка."),
         QT_TRANSLATE_NOOP("CommandTable", " Передать на несколько табло"),
         ":/icons/sendmany.png",
         {}},
        {C::ID_DISPLAY_LIST,
         QT_TRANSLATE_NOOP("CommandTable", "Список табло…"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable", "Табло по именам: порт и настройки линии каждого."),
         QT_TRANSLATE_NOOP("CommandTable", "Список табло"),
         {},
         {}},
        {C::ID_TRANSFER_JOURNAL,
         QT_TRANSLATE_NOOP("CommandTable", "Журнал передач"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable", "Когда, куда и с каким итогом передавались сообщения."),
         QT_TRANSLATE_NOOP("CommandTable", "Журнал передач"),
         {},
         {}},
        {C::ID_PORT_SETTINGS,
         QT_TRANSLATE_NOOP("CommandTable", "Настройки COM порта"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable", "Настройки последовательного порта компьютера"),
         QT_TRANSLATE_NOOP("CommandTable", " Настройки COM порта"),
         ":/icons/port.png",
         {}},
        {C::ID_DEVICE_SETTINGS,
         QT_TRANSLATE_NOOP("CommandTable", "Настройки работы устройства"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable", "Настройки работы устройства"),
         QT_TRANSLATE_NOOP("CommandTable", "Настройки устройства"),
         ":/icons/device.png",
         {}},
        {C::ID_EDITOR_SETTINGS,
         QT_TRANSLATE_NOOP("CommandTable", "Настройки текстового редактора"),
         Keys{},
         QT_TRANSLATE_NOOP("CommandTable", "Настройки шрифтов и текста в редакторе"),
         QT_TRANSLATE_NOOP("CommandTable", "Настройки текстового редактора"),
         ":/icons/editor.png",
         {}},
        {C::ID_HELP_FINDER,
         QT_TRANSLATE_NOOP("CommandTable", "Разделы справки"),
         Keys{},
         "List Help topics",
         "Help Topics",
         {},
         {}},
        {C::ID_APP_ABOUT, QT_TRANSLATE_NOOP("CommandTable", "&О программе..."), Keys{},
         QT_TRANSLATE_NOOP("CommandTable",
                           "Отображает информацию о программе, версию, авторские права."),
         QT_TRANSLATE_NOOP("CommandTable", "О программе"), ":/icons/about.png", "help-about"},
        {C::ID_HELP,
         "Help",
         Keys{Key(Qt::Key_F1)},
         "Display help for current task or command",
         "Help",
         {},
         {}},
        {C::ID_CONTEXT_HELP,
         "Help",
         Keys{Key(shift | Qt::Key_F1)},
         "Display help for clicked on buttons, menus and windows",
         "Help",
         {},
         {}},
        {C::ID_NEXT_PANE,
         "Next Pane",
         Keys{Key(Qt::Key_F6)},
         "Switch to the next window pane",
         "Next Pane",
         {},
         {}},
        {C::ID_PREV_PANE,
         "Previous Pane",
         Keys{Key(shift | Qt::Key_F6)},
         "Switch back to the previous window pane",
         "Previous Pane",
         {},
         {}},
    };
}

} // namespace

const std::vector<CommandTable::Command>& CommandTable::Commands()
{
    static const std::vector<Command> commands = BuildCommands();
    return commands;
}

const CommandTable::Command* CommandTable::Find(int id)
{
    const auto& commands = Commands();
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [id](const Command& command) { return command.id == id; });
    return it == commands.end() ? nullptr : &*it;
}

const std::vector<CommandTable::Menu>& CommandTable::Menus()
{
    static const std::vector<Menu> menus = {
        {QT_TRANSLATE_NOOP("CommandTable", "Файл"),
         {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_SAVE_PICTURE, kSeparator,
          kSeparator, ID_FILE_MRU_FILE1, kSeparator, ID_APP_EXIT}},
        {QT_TRANSLATE_NOOP("CommandTable", "&Правка"),
         {ID_EDIT_UNDO, kSeparator, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}},
        {QT_TRANSLATE_NOOP("CommandTable", "&Вид"),
         {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_WINDOW_SPLIT, ID_TRANSFER_JOURNAL}},
        {QT_TRANSLATE_NOOP("CommandTable", "Действия"),
         {ID_INSERT_SYMBOL, ID_EFFECTS, ID_SEND_TEXT, ID_SEND_MANY}},
        {QT_TRANSLATE_NOOP("CommandTable", "Настройки"),
         {ID_PORT_SETTINGS, ID_DISPLAY_LIST, ID_DEVICE_SETTINGS, ID_EDITOR_SETTINGS}},
        {QT_TRANSLATE_NOOP("CommandTable", "Справка"), {ID_HELP_FINDER, kSeparator, ID_APP_ABOUT}},
    };
    return menus;
}

const std::vector<int>& CommandTable::ToolBar()
{
    static const std::vector<int> layout = {
        ID_FILE_NEW,        ID_FILE_OPEN,       ID_FILE_SAVE,   kSeparator,    ID_EDIT_CUT,
        ID_EDIT_COPY,       ID_EDIT_PASTE,      kSeparator,     ID_FONT_PLACE, ID_I_PLACE,
        ID_V_PLACE,         kSeparator,         ID_SCALE_PLACE, kSeparator,    ID_INSERT_SYMBOL,
        ID_EFFECTS,         ID_SEND_TEXT,       ID_SEND_MANY,   kSeparator,    ID_PORT_SETTINGS,
        ID_DEVICE_SETTINGS, ID_EDITOR_SETTINGS, kSeparator,     ID_APP_ABOUT,
    };
    return layout;
}

const std::vector<CommandTable::ListPlace>& CommandTable::ListPlaces()
{
    static const std::vector<ListPlace> places = {
        {ID_FONT_PLACE, ID_FONT_COMBO, 120, 200, QT_TRANSLATE_NOOP("CommandTable", "Шрифт")},
        {ID_I_PLACE, ID_I_COMBO, 50, 400, QT_TRANSLATE_NOOP("CommandTable", "Параметр i")},
        {ID_V_PLACE, ID_V_COMBO, 45, 200, QT_TRANSLATE_NOOP("CommandTable", "Параметр v")},
        {ID_SCALE_PLACE, ID_SCALE_COMBO, 60, 200, QT_TRANSLATE_NOOP("CommandTable", "Масштаб")},
    };
    return places;
}

bool CommandTable::IsViewCommand(int id)
{
    switch (id) {
    case ID_EDIT_COPY:
    case ID_EDIT_CUT:
    case ID_EDIT_PASTE:
    case ID_INSERT_SYMBOL:
    case ID_EFFECTS:
    case ID_SEND_TEXT:
    case ID_SEND_MANY:
    case ID_DISPLAY_LIST:
    case ID_PORT_SETTINGS:
    case ID_DEVICE_SETTINGS:
    case ID_EDITOR_SETTINGS:
        return true;
    default:
        return false;
    }
}
