#pragma once

#include <QDialog>

class QTableWidget;

// "Журнал передач": the journal of transfers as it stands, read-only, a row a transfer, the
// newest last and in view.
class CJournalDlg : public QDialog
{
    Q_OBJECT
public:
    CJournalDlg(const QString& path, QWidget* parent = nullptr);

    void Reload();

    QTableWidget* m_pTable = nullptr;

private:
    QString m_path;
};
