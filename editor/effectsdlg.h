#pragma once

#include <QDialog>

class CMessageCodec;
class QCheckBox;
class QComboBox;
class QLabel;

// "Специальные возможности": a full stop of the text with its duration and one of five line
// effects, inserted at the caret as control letters.
class CEffectsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CEffectsDlg(QWidget* parent = nullptr);
    ~CEffectsDlg() override;

    // The command: runs the dialog and on OK inserts s‹duration›, then e‹effect›.
    static void OnEffects(QWidget* parent, CMessageCodec& codec);
    // What an accepted dialog inserts.
    void InsertChoice(CMessageCodec& codec) const;

    void accept() override;

    static QString Caption();

    bool m_bFullStop = false;
    bool m_bEffects = false;
    int m_nStopDuration = 0;
    int m_nEffect = 0;

    QCheckBox* m_pFullStop = nullptr;
    QCheckBox* m_pEffects = nullptr;
    QLabel* m_pDurationLabel = nullptr;
    QComboBox* m_pDuration = nullptr;
    QComboBox* m_pEffect = nullptr;

private:
    void OnFullStopClicked();
    void OnEffectsClicked();
};
