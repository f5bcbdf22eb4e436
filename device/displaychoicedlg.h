#pragma once

#include "device/displaylist.h"

#include <QDialog>

class IPrompt;
class QListWidget;
class QPushButton;

// Which displays a send goes to: a check list of the named displays, the last choice ticked
// again (the user profile keeps it, never the settings file).
class CDisplayChoiceDlg : public QDialog
{
    Q_OBJECT
public:
    CDisplayChoiceDlg(const CDisplayList& list, const QString& title, QWidget* parent = nullptr);

    // Loads the list at path and asks; false when the operator cancelled or there is nothing to
    // choose from (told why). The choice is remembered for the next time.
    static bool Choose(QWidget* parent, const QString& path, const QString& title, IPrompt& prompt,
                       QList<DisplayEntry>& chosen);

    QList<DisplayEntry> Chosen() const;

    QListWidget* m_pList = nullptr;
    QPushButton* m_pOk = nullptr;

private:
    void UpdateOk();

    QList<DisplayEntry> m_entries;
};
