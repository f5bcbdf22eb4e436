#pragma once

#include <QDialog>

class QLabel;
class QTextBrowser;

// The built-in help page: what the control codes and symbols mean, how to insert them and how
// to send a message. One window per frame, shown again by each help command.
class CHelpDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CHelpDlg(QWidget* parent = nullptr);
    ~CHelpDlg() override;

    // Shows the help window of the given frame, creating it the first time; filesText says
    // where the settings file and the fonts are now.
    static CHelpDlg* ShowHelp(QWidget* frame, const QString& filesText);

    static QString Caption();
    static QString Page(); // the page in the chosen language

    QTextBrowser* m_pBrowser = nullptr;
    QLabel* m_pFiles = nullptr;
};
