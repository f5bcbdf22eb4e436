#include "editor/tavrixview.h"

#include "editor/dotpanel.h"
#include "fonts/fontlibrary.h"
#include "settings/appsettings.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

const QString CTavrixView::kWidthKey = QStringLiteral("Preview/DisplayWidth");

namespace
{

// Short waits keep the dots close behind the typing; a long message, whose encoding takes a
// while, waits longer, so the editor spends most of its time on the keys.
int UpdateDelayMs(qint64 lastUpdateUs)
{
    return int(std::clamp<qint64>(lastUpdateUs * 8 / 1000, 10, 400));
}

// The copied text's stream laid out in dots, and the microseconds that took.
std::pair<QList<DotLine>, qint64> LayOut(const CTavrixView::StreamWork& work,
                                         const std::vector<const CEXFont*>& fonts)
{
    QElapsedTimer timer;
    timer.start();
    QList<DotLine> lines = CDotStrip::Build(work ? work() : QByteArray(), fonts);
    return {std::move(lines), timer.nsecsElapsed() / 1000};
}

bool IsPlayKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier;
}

} // namespace

CTavrixView::CTavrixView(const CFontLibrary& fonts, QWidget* parent)
    : QWidget(parent), m_fonts(fonts)
{
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 2, 4, 2);
    m_pPlay = new QToolButton(bar);
    m_pPlay->setObjectName(QStringLiteral("previewPlay"));
    // Not checkable: its caption says what a press does, and assistive technology would announce
    // a checkable one as a check box.
    m_pPlay->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_pPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_pPlay->setText(tr("Пуск"));
    m_pPlay->setToolTip(tr("Показать бегущую строку"));
    m_pPlay->setFocusPolicy(Qt::StrongFocus); // a click on it, too, moves to the pane
    layout->addWidget(m_pPlay);
    layout->addSpacing(12);
    auto* widthLabel = new QLabel(tr("Ширина табло:"), bar);
    layout->addWidget(widthLabel);
    m_pWidth = new QSpinBox(bar);
    m_pWidth->setObjectName(QStringLiteral("previewWidth"));
    widthLabel->setBuddy(m_pWidth);
    m_pWidth->setAccessibleName(tr("Ширина табло")); // the label without its colon
    m_pWidth->setRange(kMinWidth, kMaxWidth);
    m_pWidth->setSuffix(tr(" точек"));
    m_pWidth->installEventFilter(this);
    layout->addWidget(m_pWidth);
    layout->addStretch(1);

    m_pScroll = new QScrollArea(this);
    m_pScroll->setFocusPolicy(Qt::NoFocus); // the panel inside takes it
    m_pPanel = new CDotPanel(m_pScroll);
    m_pScroll->setWidget(m_pPanel);
    m_pScroll->setWidgetResizable(false);
    auto* pane = new QVBoxLayout(this);
    pane->setContentsMargins(0, 0, 0, 0);
    pane->setSpacing(0);
    pane->addWidget(bar);
    pane->addWidget(m_pScroll, 1);
    setFocusProxy(m_pPlay);

    m_nWidth = StoredWidth();
    m_pWidth->setValue(m_nWidth);
    connect(m_pWidth, &QSpinBox::valueChanged, this, &CTavrixView::SetDisplayWidth);
    connect(m_pPlay, &QToolButton::clicked, this, [this] { SetPlaying(!IsPlaying()); });

    m_worker.setMaxThreadCount(1);
    m_updateTimer.setSingleShot(true);
    connect(&m_updateTimer, &QTimer::timeout, this, &CTavrixView::StartUpdate);
    m_playTimer.setInterval(20);
    connect(&m_playTimer, &QTimer::timeout, this, &CTavrixView::OnTick);
    Refresh();
}

// The worker's result is posted to this object, so it must be done before the object goes.
CTavrixView::~CTavrixView()
{
    m_worker.waitForDone();
}

void CTavrixView::OnInitialUpdate()
{
    m_pScroll->horizontalScrollBar()->setValue(0);
    m_pScroll->verticalScrollBar()->setValue(0);
    UpdateNow();
}

// Space on "Пуск" clicks it; on the picture it reaches here unused.
void CTavrixView::keyPressEvent(QKeyEvent* event)
{
    if (!IsPlayKey(event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        SetPlaying(!IsPlaying());
}

// What no child takes (the bar's background, the scroll area's empty part below the dots)
// reaches here.
void CTavrixView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

// A width holds no blanks, so Space in its field too starts and pauses the text.
bool CTavrixView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_pWidth || !IsPlayKey(event))
        return QWidget::eventFilter(watched, event);
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
}

int CTavrixView::StoredWidth() const
{
    QSettings profile(AppSettings::kProfileOrganization, AppSettings::kProfileApplication);
    bool ok = false;
    const int width = profile.value(kWidthKey, kDefaultWidth).toInt(&ok);
    return ok && width >= kMinWidth && width <= kMaxWidth ? width : kDefaultWidth;
}

// A short message is redrawn a moment after the first of a burst of edits. A long one waits
// for a pause in the typing, though never more than kMaxWaitMs, and starts on the worker at most
// every kMinIntervalMs, so it is redrawn a few times a second while the operator types on.
void CTavrixView::ScheduleUpdate()
{
    const bool slow = m_nLastUpdateUs >= kSlowUpdateUs;
    int delay = UpdateDelayMs(m_nLastUpdateUs);
    if (slow && m_lastStart.isValid())
        delay = std::max(delay, int(kMinIntervalMs - m_lastStart.elapsed()));
    if (!m_updateTimer.isActive()) {
        m_pendingSince.start();
        m_updateTimer.start(delay);
    } else if (slow && m_pendingSince.elapsed() + delay <= kMaxWaitMs) {
        m_updateTimer.start(delay);
    }
}

void CTavrixView::UpdateNow()
{
    m_updateTimer.stop();
    ++m_nGeneration;
    const auto [lines, micros] =
        LayOut(m_source ? m_source() : StreamWork(), CDotStrip::FontsOf(m_fonts));
    Show(lines, micros);
}

// Here only the text and the fonts are copied; the copies are the worker's alone.
void CTavrixView::StartUpdate()
{
    m_updateTimer.stop();
    if (m_bWorking) {
        m_bAgain = true;
        return;
    }
    m_bWorking = true;
    m_lastStart.start();
    const quint64 generation = ++m_nGeneration;
    StreamWork work = m_source ? m_source() : StreamWork();
    std::shared_ptr<const DotFonts> fonts = CDotStrip::CopyFontsOf(m_fonts);
    m_worker.start([this, generation, work = std::move(work), fonts = std::move(fonts)] {
        auto [lines, micros] = LayOut(work, fonts->fonts);
        QMetaObject::invokeMethod(
            this,
            [this, generation, lines = std::move(lines), micros = micros] {
                OnUpdateDone(generation, lines, micros);
            },
            Qt::QueuedConnection);
    });
}

void CTavrixView::OnUpdateDone(quint64 generation, const QList<DotLine>& lines, qint64 micros)
{
    m_bWorking = false;
    if (generation == m_nGeneration)
        Show(lines, micros);
    if (m_bAgain) {
        m_bAgain = false;
        StartUpdate();
    }
}

void CTavrixView::Show(const QList<DotLine>& lines, qint64 micros)
{
    m_lines = lines;
    Refresh();
    m_nLastUpdateUs = micros;
    Q_EMIT previewUpdated();
}

void CTavrixView::Refresh()
{
    m_animation.SetStrip(m_lines, m_nWidth);
    m_clock.restart();
    m_pPanel->SetContent(&m_lines, IsPlaying() ? m_animation.Frame() : m_animation.StillFrame(),
                         m_nWidth, Pitch());
    Describe();
}

// What a screen reader says of the picture: the line in the window, and whether it runs.
void CTavrixView::Describe()
{
    const int line = m_animation.LineIndex();
    const QString text = line >= 0 && line < m_lines.size() ? m_lines[line].text : QString();
    const QString state = IsPlaying() ? tr("идет показ") : tr("пауза");
    const QString description =
        text.trimmed().isEmpty() ? state : QStringLiteral("%1 — %2").arg(text, state);
    // Every change is announced: only a real one may be.
    if (m_pPanel->accessibleDescription() != description)
        m_pPanel->setAccessibleDescription(description);
}

int CTavrixView::Pitch() const
{
    return kBasePitch * m_nScale / 100;
}

void CTavrixView::SetScale(int percent)
{
    m_nScale = std::clamp(percent, 100, 500);
    Refresh();
}

void CTavrixView::SetDisplayWidth(int columns)
{
    columns = std::clamp(columns, int(kMinWidth), int(kMaxWidth));
    if (m_pWidth->value() != columns)
        m_pWidth->setValue(columns); // comes back here through valueChanged
    if (columns == m_nWidth)
        return;
    m_nWidth = columns;
    QSettings profile(AppSettings::kProfileOrganization, AppSettings::kProfileApplication);
    profile.setValue(kWidthKey, columns);
    Refresh();
}

void CTavrixView::SetPlaying(bool playing)
{
    if (playing == m_playTimer.isActive())
        return;
    m_pPlay->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_pPlay->setText(playing ? tr("Пауза") : tr("Пуск"));
    if (playing) {
        m_clock.restart();
        m_playTimer.start();
    } else {
        m_playTimer.stop();
    }
    Describe();
}

void CTavrixView::OnTick()
{
    m_animation.Advance(int(m_clock.restart()));
    m_pPanel->SetWindow(m_animation.Frame());
    Describe();
}

// Rows of whole display windows, about kPictureRowPixels wide, so a message that runs on in one
// long line still gives a picture one can look at (and that a PNG can hold).
QImage CTavrixView::StillImage() const
{
    const int pitch = Pitch();
    const int windows = std::max(1, kPictureRowPixels / (m_nWidth * pitch));
    const QList<DotLine> rows = CDotStrip::Wrap(m_lines, windows * m_nWidth);
    const QSize size = CDotPanel::StillSize(rows, m_nWidth, pitch);
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return {};
    return CDotPanel::StillImage(rows, m_nWidth, pitch);
}
