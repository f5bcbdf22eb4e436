#pragma once

#include "settings/portconfig.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// One named display: its port word and line settings, as the sender takes them.
struct DisplayEntry {
    QString name;
    PortConfig config; // portName holds the port word

    friend bool operator==(const DisplayEntry&, const DisplayEntry&) = default;
};

// The named displays, kept in a UTF-8 text file of their own beside the settings file
// ("Tavrix Editor.ini" never holds them), one section a display, line settings written as values:
//     # comment
//     [Витрина 1]
//     port = ttyUSB0
//     baud = 1200
//     data = 8
//     stop = 2
//     parity-check = on
// The file is edited by hand and copied between machines, so a broken entry is skipped with the
// reason and its line, and the others stay usable; saving keeps the file as it was written (its
// comments, the order of its entries, a broken entry byte for byte) and rewrites only what
// changed, in place.
class CDisplayList
{
public:
    struct Problem {
        int line = 0; // 1-based, where the broken entry or line starts
        QString name; // the entry's name where there is one
        QString text;
        // The entry's lines as they stand, to show; empty when the whole file was unreadable.
        QString raw;
        // A broken section's entry as far as it could be read (a value it refused left out of
        // range), for the operator to mend; none for a stray line or an unreadable file.
        std::optional<DisplayEntry> entry;
    };

    static constexpr auto kFileName = "displays.ini";
    // The list beside the settings file of the program in programDir.
    static QString DefaultPath(const QString& programDir);

    // A missing file is an empty list; false (with ErrorText) when the file cannot be read.
    bool Load(const QString& path);
    enum Broken { DropBroken, KeepBroken };
    // Through QSaveFile, creating the folder; false with ErrorText.
    bool Save(const QString& path, Broken broken = DropBroken);
    void Parse(const QByteArray& bytes);
    // The file as read, with the changed entries rewritten where they stood, the removed ones
    // gone and the new ones at the end; KeepBroken: the broken entries stay as they were written.
    QByteArray Bytes(Broken broken = DropBroken) const;

    const QList<DisplayEntry>& Entries() const { return m_entries; }
    const QList<Problem>& Problems() const { return m_problems; }
    const QString& ErrorText() const { return m_error; }
    // Names compare without regard to case.
    const DisplayEntry* Find(const QString& name) const;
    bool Add(const DisplayEntry& entry, QString& why);
    // Puts the entry in place of the one at index (appends it when index is -1); false with why,
    // the list unchanged.
    bool Put(int index, const DisplayEntry& entry, QString& why);
    bool Remove(const QString& name);
    // Drops a broken entry, so it is not kept any more.
    void RemoveProblem(int index);
    // Puts a good entry where the broken one at index stood (its comments kept, its lines written
    // anew); the entry's index in the list, or -1 with why, the list unchanged.
    int Mend(int index, const DisplayEntry& entry, QString& why);

    // Why an entry cannot join the list (empty when it can): its name, port word and settings.
    QString Refusal(const DisplayEntry& entry) const;
    // Why a baud rate given as text is refused (empty when it is one the port takes).
    static QString BaudRefusal(const QString& value, int& index);

private:
    // A stretch of the file as it was read: text that belongs to no entry (comments, blank lines),
    // or the lines of one entry, good or broken, or one stray line.
    struct Piece {
        QByteArray bytes;
        int key = 0;       // 0: text; else the key of the entry or problem it holds
        DisplayEntry read; // a good entry as read: it is rewritten only when it differs
    };

    QString Apply(DisplayEntry& entry, const QString& key, const QString& value) const;
    // end: the line end for a section not read from the file.
    QByteArray Rewritten(const Piece& piece, const DisplayEntry& entry, QByteArray end) const;

    QList<DisplayEntry> m_entries;
    QList<int> m_entryKeys; // beside m_entries
    QList<Problem> m_problems;
    QList<int> m_problemKeys; // beside m_problems
    QList<Piece> m_pieces;
    int m_nextKey = 1;
    QString m_error;
};
