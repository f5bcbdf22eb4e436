#pragma once

#include "editor/dotstrip.h"
#include "editor/previewanimation.h"

#include <QElapsedTimer>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>
#include <functional>

class CFontLibrary;
class CDotPanel;
class QScrollArea;
class QSpinBox;
class QToolButton;

// The lower pane: the message as the display shows it, redrawn shortly after every edit. A bar
// above the dots starts and pauses the running text and sets the display's width in columns,
// which is kept in the user profile. The dots scroll when they are larger than the pane; the bar
// sits beside the scroll area, not over its margin, since assistive technology sees only the
// viewport of a scroll area. Moving to the pane puts the focus on "Пуск"; Space anywhere in the
// pane starts and pauses the text. A click anywhere in the pane, even on its empty background,
// makes it the active pane, so the toolbar's lists leave the text alone.
// Encoding and laying out a long message take a while, so after an edit they run on a worker
// from a copy of the text; the pane's own thread only copies and shows.
class CTavrixView : public QWidget
{
    Q_OBJECT
public:
    explicit CTavrixView(const CFontLibrary& fonts, QWidget* parent = nullptr);
    ~CTavrixView() override;

    void OnInitialUpdate();

    // Turns a copy of the text into the stream; it runs on any thread.
    using StreamWork = std::function<QByteArray()>;
    // Where the stream comes from: called here, it copies the editor text as it stands and
    // answers the work that encodes the copy.
    void SetStreamSource(std::function<StreamWork()> source) { m_source = std::move(source); }
    // Cheap enough for every keystroke: the work starts on a worker once the edits pause a
    // moment.
    void ScheduleUpdate();
    // The whole update here and now, for whoever needs the dots at once; a result still to come
    // from the worker is then thrown away.
    void UpdateNow();
    // Waiting to start, or running on the worker.
    bool IsUpdatePending() const { return m_updateTimer.isActive() || m_bWorking; }

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
    // Microseconds the last update's encoding and layout of the dots took.
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
    static constexpr qint64 kMinIntervalMs = 250;

Q_SIGNALS:
    void previewUpdated();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTick();
    void StartUpdate();
    void OnUpdateDone(quint64 generation, const QList<DotLine>& lines, qint64 micros);
    void Show(const QList<DotLine>& lines, qint64 micros);
    void Refresh();
    void Describe();
    int StoredWidth() const;

    const CFontLibrary& m_fonts;
    std::function<StreamWork()> m_source;
    QList<DotLine> m_lines;
    CPreviewAnimation m_animation;
    QScrollArea* m_pScroll = nullptr;
    CDotPanel* m_pPanel = nullptr;
    QToolButton* m_pPlay = nullptr;
    QSpinBox* m_pWidth = nullptr;
    QTimer m_updateTimer;
    QTimer m_playTimer;
    QElapsedTimer m_clock;
    QElapsedTimer m_pendingSince;
    QElapsedTimer m_lastStart; // of the last update on the worker
    int m_nWidth = kDefaultWidth;
    int m_nScale = 100;
    qint64 m_nLastUpdateUs = 0;
    // One update at a time on the worker; edits meanwhile start the next one when it is done.
    QThreadPool m_worker;
    bool m_bWorking = false;
    bool m_bAgain = false;
    quint64 m_nGeneration = 0; // of the newest update started; older results are stale
};
