#include "device/transferjournal.h"

#include "device/networkport.h"
#include "device/portrefusal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

QString CTransferJournal::DefaultPath()
{
    // Per user even in a portable copy: the program folder may be shared or read-only.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Tavrix Editor/transfers.log"));
}

CTransferJournal::CTransferJournal(QString path) : m_path(std::move(path)) {}

namespace
{

const QString kOk = QStringLiteral("ok");
const QString kHandedToServer = QStringLiteral("handed-to-server");
const QString kOpenFailed = QStringLiteral("open-failed");
const QString kFailed = QStringLiteral("failed");
const QString kCancelled = QStringLiteral("cancelled");

} // namespace

QString CTransferJournal::Word(TransferOutcome::Result result, const QString& portWord)
{
    switch (result) {
    case TransferOutcome::Result::Ok:
        return CNetworkPort::IsNetworkWord(portWord) ? kHandedToServer : kOk;
    case TransferOutcome::Result::OpenFailed:
        return kOpenFailed;
    case TransferOutcome::Result::WriteFailed:
        return kFailed;
    case TransferOutcome::Result::Cancelled:
        break;
    }
    return kCancelled;
}

QString CTransferJournal::WordText(const QString& word)
{
    if (word == kOk)
        return QCoreApplication::translate("CTransferJournal", "передано");
    if (word == kHandedToServer)
        return QCoreApplication::translate("CTransferJournal", "принято сервером");
    if (word == kOpenFailed)
        return QCoreApplication::translate("CTransferJournal", "порт не открылся");
    if (word == kFailed)
        return QCoreApplication::translate("CTransferJournal", "не удалось");
    if (word == kCancelled)
        return QCoreApplication::translate("CTransferJournal", "прервано");
    return word;
}

bool CTransferJournal::IsFailure(const QString& word)
{
    // An older journal stored the message the operator saw, in the language of its run.
    static const QStringList kDone = {
        kOk,
        kHandedToServer,
        QStringLiteral("Передача данных успешно завершена!!!"),
        QStringLiteral("Настройки успешно переданы в устройство!"),
        QCoreApplication::translate("CDeviceSender", "Передача данных успешно завершена!!!"),
        QCoreApplication::translate("CDeviceSender", "Настройки успешно переданы в устройство!")};
    return !kDone.contains(word);
}

QString CTransferJournal::Line(const QString& time, const QString& display, const QString& port,
                               qint64 sent, qint64 total, const QString& word,
                               const QString& reason)
{
    // A tab or a line break inside a field would split the line.
    const auto field = [](const QString& text) {
        return QString(text).replace(u'\t', u' ').simplified();
    };
    QString line = QStringList{time, field(display.isEmpty() ? QStringLiteral("-") : display),
                               field(port), QStringLiteral("%1/%2").arg(sent).arg(total), word}
                       .join(u'\t');
    if (!reason.isEmpty())
        line += u'\t' + field(reason);
    return line;
}

bool CTransferJournal::Record(const TransferOutcome& outcome)
{
    QString reason;
    if (outcome.result == TransferOutcome::Result::OpenFailed)
        reason = CPortRefusal::Details(outcome.refusal, outcome.display);
    else if (outcome.result == TransferOutcome::Result::WriteFailed && outcome.IsNetwork())
        reason = outcome.ResultText(); // what the operator was told
    return Append(Line(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                       outcome.display, outcome.portWord, outcome.sent, outcome.total,
                       Word(outcome.result, outcome.portWord), reason));
}

bool CTransferJournal::Append(const QString& line)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // A trim reads the file, cuts it and renames the rest over it: a line another copy appended
    // in between would be lost, so appending and trimming take turns.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    // Asked again every few milliseconds: QLockFile's own wait sleeps 100 ms and more a turn.
    const QDeadlineTimer wait(kLockWaitMs);
    bool locked = false;
    while (!(locked = lock.tryLock(0)) && !wait.hasExpired())
        QThread::msleep(2);
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = line.toUtf8() + '\n';
    if (file.write(bytes) != bytes.size())
        return false;
    const bool over = file.size() > kMaxBytes;
    file.close();
    // Without its turn a writer still keeps its line, and leaves the trim to the next one.
    return !over || !locked || Trim();
}

// Keeps the newest lines that fill three quarters of the bound, so the file is not rewritten at
// every transfer once it is full.
bool CTransferJournal::Trim()
{
    QFile in(m_path);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    in.close();
    qsizetype from = bytes.size() - kMaxBytes * 3 / 4;
    if (from > 0) {
        const qsizetype end = bytes.indexOf('\n', from - 1);
        from = end < 0 ? bytes.size() : end + 1;
    } else {
        from = 0;
    }
    QSaveFile out(m_path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes.mid(from)) >= 0 && out.commit();
}

QString CTransferJournal::Text() const
{
    QFile file(m_path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
