#include "editor/tavrixeditorview.h"

#include "app/commandtable.h"
#include "device/deviceframes.h"
#include "device/devicesender.h"
#include "device/devicesettingsdlg.h"
#include "device/displaychoicedlg.h"
#include "device/displaylistdlg.h"
#include "device/effectsdlg.h"
#include "device/multitransferdlg.h"
#include "device/portsetdialog.h"
#include "device/transferstatusdlg.h"
#include "editor/symbolglyphs.h"
#include "editor/symtype.h"
#include "editor/tavrixeditordoc.h"
#include "editor/textsnapshot.h"
#include "fonts/editorsettingsdlg.h"
#include "fonts/symbolsetdlg.h"
#include "settings/appsettings.h"
#include "settings/prompt.h"

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QVBoxLayout>

QString CTavrixEditorView::SendShortenedQuestion(int kept, qint64 total)
{
    return tr("Сообщение не помещается в память устройства: будет передано только "
              "%1 байт из %2.\nПередать сокращенное сообщение?")
        .arg(kept)
        .arg(total);
}

QString CTavrixEditorView::CapacityCutText(int kept, int total, bool newSize)
{
    return tr("Сообщение не помещается в %1размер: сохранено только %2 байт из %3.")
        .arg(newSize ? tr("новый ") : QString())
        .arg(kept)
        .arg(total);
}

CTavrixEditorView::CTavrixEditorView(AppSettings& settings, IPrompt& prompt, CTavrixEditorDoc& doc,
                                     QWidget* parent)
    : QWidget(parent), m_pDoc(&doc), m_settings(settings), m_prompt(prompt), m_wndEdit(this),
      m_codec(m_wndEdit, prompt)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&m_wndEdit);
    setFocusProxy(&m_wndEdit);

    m_wndEdit.SetDocument(&doc);
    m_wndEdit.SetSymbolGlyphs(new CSymbolGlyphs(settings, m_wndEdit));
    m_codec.SetDocument(&doc);
    // The document asks for the stream before it writes it; the answer must be there at once.
    connect(
        &doc, &CTavrixEditorDoc::encodeTextRequested, this, [this] { EncodeText(); },
        Qt::DirectConnection);

    connect(&m_wndEdit, &QTextEdit::selectionChanged, this,
            &CTavrixEditorView::commandStateChanged);
    connect(&m_wndEdit, &QTextEdit::textChanged, this, &CTavrixEditorView::commandStateChanged);
    connect(&m_wndEdit, &QTextEdit::textChanged, this, &CTavrixEditorView::previewStale);
    connect(&m_wndEdit, &QTextEdit::cursorPositionChanged, this,
            &CTavrixEditorView::commandStateChanged);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &CTavrixEditorView::commandStateChanged);
}

CTavrixEditorView::~CTavrixEditorView() = default;

void CTavrixEditorView::OnInitialUpdate()
{
    FillToolbarCombos();
    // A stream decodes to at most one character per byte, so a limit below the document's
    // capacity (a MAXSYM above the control's default) would cut an opened message silently.
    const int capacity = CTavrixEditorDoc::CapacityFor(m_settings.m_nMaxSym);
    if (m_wndEdit.GetLimitText() < capacity)
        m_wndEdit.SetLimitText(capacity);
    DecodeDocument();
}

void CTavrixEditorView::FillToolbarCombos()
{
    m_codec.SetDocument(m_pDoc);
    const auto [font, i, v, scale] = m_lists;
    if (!font || !i || !v || !scale)
        return;
    for (QComboBox* list : {font, i, v, scale})
        list->clear();

    for (int n = 0; n < m_settings.m_nFontCount; ++n)
        font->addItem(m_settings.m_astrFontNames.value(n));
    font->setCurrentIndex(m_settings.m_nCurFont);
    for (quint8 value : m_settings.m_iValues)
        i->addItem(QStringLiteral("i%1").arg(value));
    i->setCurrentIndex(m_settings.m_nCurI);
    for (quint8 value : m_settings.m_vValues)
        v->addItem(QStringLiteral("v%1").arg(value));
    v->setCurrentIndex(m_settings.m_nCurV);
    for (int value : m_settings.m_scaleValues)
        scale->addItem(QStringLiteral("%1%").arg(value * 100));
    scale->setCurrentIndex(m_settings.m_nCurScale);
}

bool CTavrixEditorView::CatchChar(quint32 type, quint8 value, qint8 param)
{
    const bool result = m_codec.CatchChar(type, value, param);
    m_nSelStart = m_codec.m_nSelStart;
    m_nSelEnd = m_codec.m_nSelEnd;
    return result;
}

bool CTavrixEditorView::EncodeText()
{
    return m_codec.EncodeText();
}

bool CTavrixEditorView::DecodeDocument()
{
    return m_codec.DecodeDocument();
}

std::function<QByteArray()> CTavrixEditorView::PreviewWork() const
{
    auto snapshot = std::make_shared<const CTextSnapshot>(m_wndEdit.Snapshot());
    const int capacity = CTavrixEditorDoc::CapacityFor(m_settings.m_nMaxSym);
    return [snapshot, capacity] {
        QByteArray stream(capacity, Qt::Uninitialized);
        int dropped = 0;
        stream.truncate(CMessageCodec::EncodeInto(
            *snapshot, reinterpret_cast<quint8*>(stream.data()), capacity, dropped));
        return stream;
    };
}

bool CTavrixEditorView::OnCommand(int id)
{
    switch (id) {
    case CommandTable::ID_EDIT_COPY:
        OnEditCopy();
        break;
    case CommandTable::ID_EDIT_CUT:
        OnEditCut();
        break;
    case CommandTable::ID_EDIT_PASTE:
        OnEditPaste();
        break;
    case CommandTable::ID_INSERT_SYMBOL:
        OnInsertSymbol();
        break;
    case CommandTable::ID_EFFECTS:
        OnEffects();
        break;
    case CommandTable::ID_SEND_TEXT:
        OnSendText();
        break;
    case CommandTable::ID_SEND_MANY:
        OnSendMany();
        break;
    case CommandTable::ID_DISPLAY_LIST:
        OnDisplayList();
        break;
    case CommandTable::ID_PORT_SETTINGS:
        OnPortSettings();
        break;
    case CommandTable::ID_DEVICE_SETTINGS:
        OnDeviceSettings();
        break;
    case CommandTable::ID_EDITOR_SETTINGS:
        OnEditorSettings();
        break;
    default:
        return false;
    }
    Q_EMIT commandStateChanged();
    return true;
}

bool CTavrixEditorView::IsCommandEnabled(int id)
{
    switch (id) {
    case CommandTable::ID_EDIT_COPY:
    case CommandTable::ID_EDIT_CUT:
        return m_wndEdit.HasSelectedText();
    case CommandTable::ID_EDIT_PASTE:
        return m_wndEdit.CanPaste();
    case CommandTable::ID_INSERT_SYMBOL:
    case CommandTable::ID_EFFECTS:
        m_wndEdit.GetSel(m_nSelStart, m_nSelEnd);
        return m_nSelEnd < m_wndEdit.GetLimitText();
    case CommandTable::ID_SEND_TEXT:
    case CommandTable::ID_SEND_MANY:
        return m_wndEdit.GetTextLength() > 0;
    case CommandTable::ID_DISPLAY_LIST:
    case CommandTable::ID_PORT_SETTINGS:
    case CommandTable::ID_DEVICE_SETTINGS:
    case CommandTable::ID_EDITOR_SETTINGS:
        return true;
    default:
        return false;
    }
}

void CTavrixEditorView::OnListSelChange(int listId, int index)
{
    switch (listId) {
    case CommandTable::ID_FONT_COMBO:
        if (index < 0 || index >= m_settings.m_nFontCount)
            return;
        m_settings.m_nCurFont = index;
        CatchChar(SYM_CONTROL, 'f', qint8(index));
        break;
    case CommandTable::ID_I_COMBO:
        if (index < 0 || index >= int(m_settings.m_iValues.size()))
            return;
        CatchChar(SYM_CONTROL, 'i', qint8(m_settings.m_iValues[size_t(index)]));
        break;
    case CommandTable::ID_V_COMBO:
        if (index < 0 || index >= int(m_settings.m_vValues.size()))
            return;
        CatchChar(SYM_CONTROL, 'v', qint8(m_settings.m_vValues[size_t(index)]));
        break;
    default:
        return;
    }
    // The operator goes on typing after the inserted code.
    m_wndEdit.setFocus(Qt::OtherFocusReason);
}

void CTavrixEditorView::OnEditCopy()
{
    m_wndEdit.copy();
}

// The edit control marks the document modified whenever its text really changes, cut and paste
// included.
void CTavrixEditorView::OnEditCut()
{
    m_wndEdit.cut();
}

void CTavrixEditorView::OnEditPaste()
{
    m_wndEdit.paste();
}

void CTavrixEditorView::OnInsertSymbol()
{
    CSymbolSetDlg::OnInsertSymbol(window(), m_settings, m_prompt, m_codec);
}

void CTavrixEditorView::OnEffects()
{
    CEffectsDlg::OnEffects(window(), m_codec);
}

void CTavrixEditorView::OnPortSettings()
{
    CPortSetDialog::OnPortSettings(window(), m_settings.m_port);
}

void CTavrixEditorView::OnDeviceSettings()
{
    CDeviceSettingsDlg::OnDeviceSettings(window(), m_settings, m_prompt);
}

// The total counts what an opened file held beyond the capacity: those bytes were never read,
// and the display would not get them either.
bool CTavrixEditorView::ConfirmShortenedSend()
{
    const int kept = m_pDoc->m_nLength;
    const qint64 total = m_pDoc->TotalLength();
    if (kept >= total)
        return true;
    return m_prompt.AskYesNo(SendShortenedQuestion(kept, total));
}

void CTavrixEditorView::OnSendText()
{
    EncodeText();
    if (!ConfirmShortenedSend())
        return;
    CDeviceSender sender(m_settings.m_port.GetConfig());
    sender.StartText(m_pDoc->m_pData.get(), m_pDoc->m_nLength);
    CTransferStatusDlg::RunAndReport(sender, window(), m_prompt, &CDeviceSender::TextMessage);
}

void CTavrixEditorView::OnSendMany()
{
    EncodeText();
    if (!ConfirmShortenedSend())
        return;
    QList<DisplayEntry> displays;
    if (!CDisplayChoiceDlg::Choose(window(), CDisplayListDlg::ListPath(m_settings),
                                   tr("Передать текст на несколько табло"), m_prompt, displays))
        return;
    const QByteArray frame = DeviceFrames::TextFrame(m_pDoc->m_pData.get(), m_pDoc->m_nLength);
    CMultiTransferDlg::RunAndReport(displays, {CDeviceSender::Frame{frame, 0}}, window(),
                                    &CDeviceSender::TextMessage, tr("Передано на %1 из %2 табло."));
}

void CTavrixEditorView::OnDisplayList()
{
    CDisplayListDlg::OnDisplayList(window(), m_settings, m_prompt);
}

// The text is encoded first, so what was typed since the last save survives the rebuild; the
// modified flag is kept, since the rebuilt text still differs from the file.
void CTavrixEditorView::OnEditorSettings()
{
    if (!CEditorSettingsDlg::Run(window(), m_settings))
        return;
    const bool modified = m_pDoc->IsModified();
    // Encoded into the new capacity, so a raised maximum keeps everything typed.
    const int oldCapacity = m_pDoc->m_nCapacity;
    m_pDoc->UpdateCapacity();
    EncodeText();
    const int kept = m_pDoc->m_nLength;
    const int total = int(m_pDoc->TextLength());
    m_settings.LoadFontLibrary();
    FillToolbarCombos();
    m_wndEdit.SetText(QByteArray());
    m_wndEdit.SetLimitText(m_pDoc->m_nCapacity);
    DecodeDocument();
    if (kept < total)
        m_prompt.Inform(CapacityCutText(kept, total, m_pDoc->m_nCapacity != oldCapacity));
    m_pDoc->SetModifiedFlag(modified || kept < total);
    m_wndEdit.viewport()->update(); // the symbols' pictures come from the fonts just read
    Q_EMIT previewStale();          // the fonts were read again even when the text reads the same
}
