#include "editor/tavrixeditordoc.h"

#include "editor/symtype.h"
#include "settings/appsettings.h"
#include "settings/prompt.h"
#include "settings/systemerrortext.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace
{

constexpr int kMinCapacity = 2;
constexpr int kMaxCapacity = 1048576;

// Codes 0x00–0x03 carry one parameter byte; the two travel together.
int ItemLength(quint8 byte)
{
    return byte <= 0x03 ? 2 : 1;
}

// Length of the longest prefix of data that ends on an item boundary and is at most limit bytes.
int WholeItemsPrefix(const quint8* data, int length, int limit)
{
    const int end = std::min(length, limit);
    int i = 0;
    while (i < end) {
        const int next = i + ItemLength(data[i]);
        if (next > end)
            break;
        i = next;
    }
    return i;
}

} // namespace

CTavrixEditorDoc::CTavrixEditorDoc(AppSettings& settings, IPrompt& prompt, QObject* parent)
    : QObject(parent), m_settings(settings), m_prompt(prompt)
{
    m_nCapacity = CapacityFor(m_settings.m_nMaxSym);
    m_pData = std::make_unique<quint8[]>(m_nCapacity);
}

CTavrixEditorDoc::~CTavrixEditorDoc() = default;

int CTavrixEditorDoc::CapacityFor(int maxSym)
{
    if (maxSym < kMinCapacity || maxSym > kMaxCapacity)
        return AppSettings::kDefaultMaxSym;
    return maxSym;
}

quint8 CTavrixEditorDoc::StreamByte(quint32 type, quint8 value)
{
    switch (type) {
    case SYM_PAGE_80:
        return quint8(value + 0x70);
    case SYM_PAGE_90:
        return quint8(value + 0x80);
    case SYM_PAGE_A0:
        return quint8(value + 0x90);
    case SYM_PAGE_B0:
        return quint8(value + 0xA0);
    default:
        return value;
    }
}

bool CTavrixEditorDoc::AddSym(quint32 type, quint8 value)
{
    if (m_nLength + 1 >= m_nCapacity)
        return false;
    if (type > SYM_STOP)
        m_prompt.Inform(QStringLiteral("Default in AddSym"));
    m_pData[m_nLength++] = StreamByte(type, value);
    return true;
}

bool CTavrixEditorDoc::AddByte(quint8 value)
{
    if (m_nLength + 1 >= m_nCapacity)
        return false;
    m_pData[m_nLength++] = value;
    return true;
}

// The stored bytes move into the new array as far as the encoder could have stored them
// (capacity - 1), never separating a code from its parameter.
bool CTavrixEditorDoc::UpdateCapacity()
{
    const int capacity = CapacityFor(m_settings.m_nMaxSym);
    if (capacity == m_nCapacity)
        return true;
    auto data = std::make_unique<quint8[]>(capacity);
    const int kept = WholeItemsPrefix(m_pData.get(), m_nLength, capacity - 1);
    std::memcpy(data.get(), m_pData.get(), size_t(kept));
    m_pData = std::move(data);
    m_nCapacity = capacity;
    m_nLength = kept;
    return true;
}

bool CTavrixEditorDoc::Serialize(QIODevice& device, bool bStoring)
{
    if (bStoring) {
        Q_EMIT encodeTextRequested();
        return device.write(reinterpret_cast<const char*>(m_pData.get()), m_nLength) == m_nLength;
    }
    // Read into a fresh array so that a failed read leaves the current stream as it was.
    auto data = std::make_unique<quint8[]>(m_nCapacity);
    const qint64 read = device.read(reinterpret_cast<char*>(data.get()), m_nCapacity);
    if (read < 0)
        return false;
    m_pData = std::move(data);
    m_nLength = int(read);
    m_nUnread = 0;
    char rest[4096];
    for (qint64 more; (more = device.read(rest, sizeof rest)) > 0;)
        m_nUnread += more;
    return true;
}

void CTavrixEditorDoc::DeleteContents()
{
    m_nLength = 0;
    m_nDropped = 0;
    m_nUnread = 0;
}

QString CTavrixEditorDoc::CutOnOpenText(qint64 read, qint64 total)
{
    return tr("Файл длиннее допустимого размера сообщения (MAXSYM): загружено %1 байт "
              "из %2.")
        .arg(read)
        .arg(total);
}

bool CTavrixEditorDoc::OnNewDocument()
{
    DeleteContents();
    SetPathName(QString());
    SetModifiedFlag(false);
    return true;
}

bool CTavrixEditorDoc::OnOpenDocument(const QString& path, QString* error)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly) || !Serialize(file, false)) {
        const int code = errno;
        if (error)
            *error = SystemErrorText(code, file.errorString());
        return false;
    }
    m_nDropped = 0;
    SetPathName(path);
    SetModifiedFlag(false);
    if (m_nUnread > 0)
        m_prompt.Inform(CutOnOpenText(m_nLength, m_nLength + m_nUnread));
    return true;
}

bool CTavrixEditorDoc::OnSaveDocument(const QString& path, QString* error)
{
    QSaveFile file(path);
    errno = 0;
    const bool ok = file.open(QIODevice::WriteOnly) && Serialize(file, true) && file.commit();
    if (!ok) {
        const int code = errno;
        if (error)
            *error = SystemErrorText(code, file.errorString());
        return false;
    }
    m_nUnread = 0; // the file now holds the whole message
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

void CTavrixEditorDoc::SetModifiedFlag(bool modified)
{
    if (m_bModified == modified)
        return;
    m_bModified = modified;
    Q_EMIT modifiedChanged(modified);
}

void CTavrixEditorDoc::SetPathName(const QString& path)
{
    if (m_strPathName == path)
        return;
    m_strPathName = path;
    Q_EMIT titleChanged();
}

QString CTavrixEditorDoc::GetTitle() const
{
    if (m_strPathName.isEmpty())
        return QStringLiteral("Untitled");
    return QFileInfo(m_strPathName).fileName();
}
