#pragma once

#include <QDialog>

class QPlainTextEdit;

// "Журнал передач": the journal of transfers as it stands, read-only, the newest line last and
// in view.
class CJournalDlg : public QDialog
{
    Q_OBJECT
public:
    CJournalDlg(const QString& path, QWidget* parent = nullptr);

    void Reload();

    QPlainTextEdit* m_pText = nullptr;

private:
    QString m_path;
};
