#pragma once

#include <QObject>
#include <QString>
#include <memory>

class AppSettings;
class IPrompt;
class QIODevice;

// The message as the display receives it: a flat array of stream bytes, which is also the whole
// content of a .tvd file. The editor text is not kept here; the encoder rebuilds the stream from
// it before every save and every transmission.
class CTavrixEditorDoc : public QObject
{
    Q_OBJECT
public:
    CTavrixEditorDoc(AppSettings& settings, IPrompt& prompt, QObject* parent = nullptr);
    ~CTavrixEditorDoc() override;

    bool AddSym(quint32 type, quint8 value);
    // The stream byte of an editor character of the given symbol type.
    static quint8 StreamByte(quint32 type, quint8 value);
    bool AddByte(quint8 value);
    bool UpdateCapacity();

    // Loading reads at most m_nCapacity bytes; storing first asks the editor to re-encode
    // (encodeTextRequested) and then writes m_nLength bytes.
    bool Serialize(QIODevice& device, bool bStoring);
    void DeleteContents();
    bool OnNewDocument();
    // Whole-file operations used by the main frame; a failed save leaves the old file intact.
    bool OnOpenDocument(const QString& path, QString* error = nullptr);
    bool OnSaveDocument(const QString& path, QString* error = nullptr);

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true);
    const QString& GetPathName() const { return m_strPathName; }
    void SetPathName(const QString& path);
    QString GetTitle() const; // file name, or "Untitled"

    // Capacity the document uses for a MAXSYM value: the value itself within [2, 1048576],
    // else the default 2048.
    static int CapacityFor(int maxSym);
    static QString CutOnOpenText(qint64 read, qint64 total);

    std::unique_ptr<quint8[]> m_pData; // exactly m_nCapacity bytes
    int m_nLength = 0;
    int m_nCapacity = 0;
    // Bytes of the editor text that the last encoding could not store (0 when it fitted).
    int m_nDropped = 0;
    // Bytes of the opened file beyond the capacity: never read, lost if the file is saved over.
    qint64 m_nUnread = 0;

    // What the editor text encodes to before the capacity cut.
    qint64 TextLength() const { return qint64(m_nLength) + m_nDropped; }
    // And with what an opened file held beyond the capacity: all the message had.
    qint64 TotalLength() const { return TextLength() + m_nUnread; }

Q_SIGNALS:
    void encodeTextRequested(); // the document's WM_ENCODETEXT: the editor view re-encodes
    void modifiedChanged(bool modified);
    void titleChanged();

private:
    AppSettings& m_settings;
    IPrompt& m_prompt;
    bool m_bModified = false;
    QString m_strPathName;
};
