#pragma once

#include <QDialog>

class QKeyEvent;
class QTimerEvent;

// The start-up picture: no caption, closes by itself after kTimeout ms or at once on Enter or
// Escape.
class CoDiSpalsh : public QDialog
{
    Q_OBJECT
public:
    explicit CoDiSpalsh(QWidget* parent = nullptr);
    ~CoDiSpalsh() override;

    static constexpr int kTimeout = 1500;
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 300;

    int m_nTimerID = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void StopTimer();
};
