#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <vector>

// Every command of the program in one place: the menus, the toolbar, the status-bar prompts,
// the tooltips and the accelerators are all built from these rows, so a new command is one row.
class CommandTable
{
public:
    enum Id : int {
        ID_SCALE_COMBO = 101,
        ID_FONT_COMBO = 102,
        ID_I_COMBO = 103,
        ID_V_COMBO = 104,
        ID_SCALE_PLACE = 32771,
        ID_SEND_TEXT = 32774,
        ID_FONT_PLACE = 32775,
        ID_I_PLACE = 32776,
        ID_V_PLACE = 32777,
        ID_INSERT_SYMBOL = 32778,
        ID_PORT_SETTINGS = 32779,
        ID_EDITOR_SETTINGS = 32782,
        ID_DEVICE_SETTINGS = 32783,
        ID_EFFECTS = 32784,
        ID_SAVE_PICTURE = 32785,
        ID_SEND_MANY = 32786,
        ID_DISPLAY_LIST = 32787,
        ID_TRANSFER_JOURNAL = 32788,
        ID_FILE_NEW = 57600,
        ID_FILE_OPEN = 57601,
        ID_FILE_SAVE = 57603,
        ID_FILE_SAVE_AS = 57604,
        ID_FILE_MRU_FILE1 = 57616,
        ID_EDIT_COPY = 57634,
        ID_EDIT_CUT = 57635,
        ID_EDIT_PASTE = 57637,
        ID_EDIT_UNDO = 57643,
        ID_WINDOW_SPLIT = 57653,
        ID_APP_ABOUT = 57664,
        ID_APP_EXIT = 57665,
        ID_HELP_FINDER = 57667,
        ID_CONTEXT_HELP = 57669,
        ID_HELP = 57670,
        ID_DEFAULT_HELP = 57671,
        ID_NEXT_PANE = 57680,
        ID_PREV_PANE = 57681,
        ID_VIEW_TOOLBAR = 59392,
        ID_VIEW_STATUS_BAR = 59393,
    };
    static constexpr int kSeparator = 0;

    struct Command {
        int id = 0;
        QString caption; // menu text: "&" marks the access key, "\t" precedes the shortcut text
        QList<QKeySequence> shortcuts;
        QString prompt;  // status-bar prompt
        QString tooltip; // shown as it stands, leading blanks included
        QString icon;    // picture in the resources; empty when the command has no button
        QString theme;   // the desktop theme's icon for it, preferred when the theme has one
    };

    struct Menu {
        QString title;
        std::vector<int> items; // command ids; kSeparator for a separator
    };

    struct ListPlace {
        int placeId;        // the toolbar position the list takes over
        int listId;         // 101–104
        int width;          // pixels
        int dropDownHeight; // pixels
        QString name;       // for assistive technology: no label stands beside a list
    };

    static const std::vector<Command>& Commands();
    static const Command* Find(int id);
    static const std::vector<Menu>& Menus();
    // Left to right; kSeparator for a separator, a list place id for an embedded list.
    static const std::vector<int>& ToolBar();
    // The lists in the order they are embedded (the order of their places on the toolbar).
    static const std::vector<ListPlace>& ListPlaces();
    // Commands the editor view answers; the frame routes them to it while it is the active pane.
    static bool IsViewCommand(int id);
};
