#include "device/transferjournal.h"

#include "device/portrefusal.h"
#include "device/serialport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

QString CTransferJournal::DefaultPath()
{
    // Per user even in a portable copy: the program folder may be shared or read-only.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Tavrix Editor/transfers.log"));
}

CTransferJournal::CTransferJournal(QString path) : m_path(std::move(path)) {}

QString CTransferJournal::Line(const QString& time, const QString& display, const QString& port,
                               qint64 sent, qint64 total, const QString& resultText,
                               const QString& reason)
{
    // A tab or a line break inside a field would split the line.
    const auto field = [](const QString& text) {
        return QString(text).replace(u'\t', u' ').simplified();
    };
    QString line =
        QStringList{
            time, field(display.isEmpty() ? QStringLiteral("-") : display), field(port),
            QCoreApplication::translate("CTransferJournal", "%1 из %2 байт").arg(sent).arg(total),
            field(resultText)}
            .join(u'\t');
    if (!reason.isEmpty())
        line += u'\t' + field(reason);
    return line;
}

bool CTransferJournal::Record(const QString& display, const CDeviceSender& sender,
                              const QString& resultText)
{
    const CSerialPort& port = sender.Port();
    const QString reason = sender.GetResult() == CDeviceSender::Result::OpenFailed
                               ? CPortRefusal::Details(port, display)
                               : QString();
    return Append(Line(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                       display, port.GetConfig().portName, sender.BytesSent(), sender.BytesTotal(),
                       resultText, reason));
}

bool CTransferJournal::Append(const QString& line)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = line.toUtf8() + '\n';
    if (file.write(bytes) != bytes.size())
        return false;
    const bool over = file.size() > kMaxBytes;
    file.close();
    return !over || Trim();
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
