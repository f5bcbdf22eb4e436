#pragma once

#include "editor/editcontrol.h"
#include "editor/symtype.h"

#include <QByteArray>

class CTavrixEditorDoc;
class IPrompt;

// Translates between the marked editor text and the device byte stream, and inserts symbols with
// their marking. The editor view owns one and forwards CatchChar, EncodeText and DecodeDocument.
class CMessageCodec
{
public:
    enum Source { FromEditor, FromStream };
    enum Mode { Letter, Digit };

    static constexpr quint32 kControlColor = 0xFF0000;
    static constexpr quint32 kPageColor[4] = {0xFA0000, 0xF90000, 0xF80000, 0xF70000};

    CMessageCodec(IEditControl& edit, IPrompt& prompt);

    void SetDocument(CTavrixEditorDoc* doc) { m_pDoc = doc; }
    CTavrixEditorDoc* GetDocument() const { return m_pDoc; }

    bool CatchChar(quint32 type, quint8 value, qint8 param);
    // Rewrites the document's stream; m_nDropped of the document tells what did not fit.
    bool EncodeText();
    // The encoding itself, of any control into any buffer of capacity bytes, of which it fills
    // at most capacity - 1; answers the length and sets dropped to what did not fit.
    static int EncodeInto(const IEditControl& edit, quint8* data, int capacity, int& dropped);
    bool DecodeDocument();

    quint32 GetSymType(int index) const;
    static quint32 GetByteType(quint8 byte);
    bool IsControlType(Source source, int index) const;
    static quint8 EncodeControl(Mode mode, char ch, bool stop);
    static quint8 DecodeControl(Mode mode, quint8 byte, bool stop);
    // Whether an editor character in the colour of symbol page 0–3 stands for one of its symbols.
    static bool IsPageSymbol(int page, quint8 ch);
    // The symbol page 0–3 whose colour this is, or -1.
    static int PageOfColor(quint32 color);
    // The letters of the control codes: e, f, i, s and v.
    static bool IsControlLetter(QChar ch);

    CharFormat m_cfNormal{QStringLiteral("Verdana"), 0x000000};
    CharFormat m_cfControl{QStringLiteral("Courier New"), kControlColor};
    int m_nSelStart = 0;
    int m_nSelEnd = 0;

private:
    // CatchChar without touching the modified flag; the decoder clears the flag once at the end.
    // False when nothing could be inserted.
    bool InsertSymbol(quint32 type, quint8 value, qint8 param);
    // The editor characters and format of one symbol; false when it has none. Its type is at most
    // SYM_STOP: InsertSymbol reports any other itself, and no stream byte has one.
    bool SymbolText(quint32 type, quint8 value, qint8 param, QByteArray& text,
                    CharFormat& format) const;
    void DecodeStream(const quint8* data, int length, QByteArray& text,
                      QList<FormatRun>& runs) const;
    static quint32 SymTypeAt(const IEditControl& edit, const QByteArray& text, int index);

    IEditControl& m_edit;
    IPrompt& m_prompt;
    CTavrixEditorDoc* m_pDoc = nullptr;
};
