#pragma once

#include <QScrollArea>

// The lower pane below the editor: an empty area of 100 × 100 pixels that scrolls only when the
// pane is smaller than that. It takes focus, so it can be the active pane.
class CTavrixView : public QScrollArea
{
    Q_OBJECT
public:
    explicit CTavrixView(QWidget* parent = nullptr);
    ~CTavrixView() override;

    void OnInitialUpdate();

    static constexpr int kTotalSize = 100;
};
