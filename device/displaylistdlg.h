#pragma once

#include "device/displaylist.h"

#include <QDialog>

class AppSettings;
class IPrompt;
class QPushButton;
class QTableWidget;

// "Список табло": the named displays, to add, change, copy and remove, each with "Проверить"
// beside it. OK writes the list; an entry the file holds broken is shown as such and kept as it
// was written unless removed or mended ("Изменить…" opens what could be read of it). Tab leaves
// the table at once; of the "Проверить" buttons only the selected row's is a Tab stop.
// The "Проверить" buttons are the window's own children laid over their cells: a table's cell
// widgets are not on the accessibility bus.
class CDisplayListDlg : public QDialog
{
    Q_OBJECT
public:
    CDisplayListDlg(const QString& path, IPrompt& prompt, QWidget* parent = nullptr);

    // The command: the list beside the settings file.
    static void OnDisplayList(QWidget* parent, const AppSettings& settings, IPrompt& prompt);
    // displays.ini in the folder of the settings file in use.
    static QString ListPath(const AppSettings& settings);

    const CDisplayList& List() const { return m_list; }
    void accept() override;
    void OnAdd();
    void OnEdit();
    void OnCopy();
    void OnRemove();
    // Opens and closes the display's port and says how it went.
    void OnCheck(int row);
    QPushButton* CheckButton(int row) const;

    QTableWidget* m_pTable = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pEdit = nullptr;
    QPushButton* m_pCopy = nullptr;
    QPushButton* m_pRemove = nullptr;

private:
    enum Column { Name, Port, Baud, Data, Stop, Parity, Check, ColumnCount };
    void Fill(int current);
    void PlaceCheckButtons();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void UpdateButtons();
    // Edits a copy of the entry; replacing: the row it came from, else -1 for a new one;
    // mending: the broken entry it takes the place of, else -1.
    void EditEntry(const DisplayEntry& entry, int replacing, const QString& title,
                   int mending = -1);

    QString m_path;
    IPrompt& m_prompt;
    CDisplayList m_list;
    QString m_strUnreadable;      // why the file could not be read, when it could not
    QList<QPushButton*> m_checks; // a good entry's each, by row
};
