#pragma once

#include "device/displaylist.h"

#include <QDialog>
#include <functional>

class IPrompt;
class QComboBox;
class QLabel;
class QLineEdit;

// One named display: its name, port word and line settings. OK keeps the window open with a
// message as long as the entry cannot join the list. The name comes selected, so typing replaces
// it (a copy's "… (копия)").
class CDisplayEditDlg : public QDialog
{
    Q_OBJECT
public:
    // Why an entry is refused; empty when it may join the list.
    using Refusal = std::function<QString(const DisplayEntry&)>;

    CDisplayEditDlg(const DisplayEntry& entry, Refusal refusal, IPrompt& prompt,
                    QWidget* parent = nullptr);

    DisplayEntry Entry() const;
    // Above the fields: why the entry, as the file holds it, cannot be used.
    void ShowProblem(const QString& text);
    // Speed, data bits, stop bits and parity as the windows show them.
    static QStringList LineTexts(const PortConfig& config);
    void accept() override;

    QLineEdit* m_pName = nullptr;
    QComboBox* m_pPort = nullptr;
    QComboBox* m_pBaud = nullptr;
    QComboBox* m_pData = nullptr;
    QComboBox* m_pStop = nullptr;
    QComboBox* m_pParity = nullptr;
    QLabel* m_pProblem = nullptr;

private:
    Refusal m_refusal;
    IPrompt& m_prompt;
};
