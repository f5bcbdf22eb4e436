#pragma once

#include "editor/dotstrip.h"
#include "editor/previewanimation.h"

#include <QElapsedTimer>
#include <QScrollArea>
#include <QTimer>
#include <functional>

class AppSettings;
class CDotPanel;
class QSpinBox;
class QToolButton;

// The lower pane: the message as the display shows it, redrawn shortly after every edit. A bar
// above the dots starts and pauses the running text and sets the display's width in columns,
// which is kept in the user profile. The pane scrolls when the dots are larger than it.
class CTavrixView : public QScrollArea
{
    Q_OBJECT
public:
    explicit CTavrixView(AppSettings& settings, QWidget* parent = nullptr);
    ~CTavrixView() override;

    void OnInitialUpdate();

    // Where the stream comes from: the encoding of the editor text as it stands.
    void SetStreamSource(std::function<QByteArray()> source) { m_source = std::move(source); }
    // Cheap enough for every keystroke: the work happens once the edits pause a moment.
    void ScheduleUpdate();
    void UpdateNow();
    bool IsUpdatePending() const { return m_updateTimer.isActive(); }

    void SetScale(int percent);
    int Pitch() const;
    void SetDisplayWidth(int columns);
    int DisplayWidth() const { return m_nWidth; }
    void SetPlaying(bool playing);
    bool IsPlaying() const { return m_playTimer.isActive(); }

    const QList<DotLine>& Lines() const { return m_lines; }
    CPreviewAnimation& Animation() { return m_animation; }
    // The picture "Сохранить изображение табло…" writes; null when it would be too large.
    QImage StillImage() const;
    // Microseconds the last update took (encoding, layout of the dots and the repaint request).
    qint64 LastUpdateMicros() const { return m_nLastUpdateUs; }

    static constexpr int kDefaultWidth = 96;
    static constexpr int kMinWidth = 8;
    static constexpr int kMaxWidth = 1024;
    static constexpr int kBasePitch = 4; // pixels per dot at 100 %
    static constexpr int kPictureRowPixels = 2048;
    static constexpr int kMaxPictureSide = 32000; // within what a PNG reader is sure to take
    static const QString kWidthKey;
    static constexpr qint64 kSlowUpdateUs = 5000;
    static constexpr qint64 kMaxWaitMs = 1000;

Q_SIGNALS:
    void previewUpdated();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnTick();
    void Refresh();
    int StoredWidth() const;

    AppSettings& m_settings;
    std::function<QByteArray()> m_source;
    QList<DotLine> m_lines;
    CPreviewAnimation m_animation;
    CDotPanel* m_pPanel = nullptr;
    QWidget* m_pBar = nullptr;
    QToolButton* m_pPlay = nullptr;
    QSpinBox* m_pWidth = nullptr;
    QTimer m_updateTimer;
    QTimer m_playTimer;
    QElapsedTimer m_clock;
    QElapsedTimer m_pendingSince;
    int m_nWidth = kDefaultWidth;
    int m_nScale = 100;
    qint64 m_nLastUpdateUs = 0;
};
