#pragma once

#include <QObject>
#include <QString>

// Why a port would not open, recorded by the port when it failed: the kind the operator's advice
// follows and what the system said.
struct OpenRefusal {
    Q_GADGET
public:
    // LineSettings: the port opened, but the system would not take its line settings.
    enum class Kind { NoDevice, PermissionDenied, Busy, LineSettings, Other };
    Q_ENUM(Kind)

    Kind kind = Kind::Other;
    QString portWord; // the port or server as configured
    QString lastError; // the port's words in the source language ("Не удается открыть порт.")
    quint32 serialError = 0; // QSerialPort's error kind (all ones: already open)
    int systemError = 0;     // errno or the Windows error where known
    QString systemText;      // the system's own words, or the network transport's reason

    // lastError in the language of the run.
    QString LastErrorText() const;
};

// How a transfer job ended, as a value the sender hands to whoever started it and to the
// journal.
struct TransferOutcome {
    Q_GADGET
public:
    enum class Result { Ok, OpenFailed, WriteFailed, Cancelled };
    Q_ENUM(Result)
    using MessageOf = QString (*)(Result);

    Result result = Result::Ok;
    qint64 sent = 0; // bytes that left the line
    qint64 total = 0;
    QString portWord;    // the port or server as configured
    QString display;     // the named display; empty for the port of the settings file
    OpenRefusal refusal; // when the port would not open
    // What the transport could tell beyond the result (over a network, why the connection ended
    // and what the server took; which step a job overtaken by its deadline was at).
    QString note;
    MessageOf message = nullptr; // the texts of the job's results (a message, the device settings)

    // What the operator is told of the result, in the language of the run.
    QString ResultText() const;
    // What the operator is told beyond that for a job whose port opened (a refusal has
    // CPortRefusal::Details): over a network, that the server took the bytes, or why the
    // connection ended; which step a job overtaken by its deadline was at. Empty when there is
    // nothing to add.
    QString Details() const;
    bool IsNetwork() const;
};
