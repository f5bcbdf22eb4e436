#include "cli/messagesource.h"

#include "editor/messagemarkup.h"
#include "editor/streamcheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace
{

QString Quoted(const QString& path)
{
    // The quotation marks of the language.
    return QCoreApplication::translate("CMessageSource", "«%1»").arg(path);
}

// The reason in Russian where the cause is plain; the system's own words otherwise.
QString OpenReason(const QFile& file)
{
    const QFileInfo info(file.fileName());
    if (!info.exists())
        return QCoreApplication::translate("CMessageSource", "файла нет");
    if (info.isDir())
        return QCoreApplication::translate("CMessageSource", "это папка, а не файл");
    if (!info.isReadable())
        return QCoreApplication::translate("CMessageSource", "нет права на чтение");
    return file.errorString();
}

// The decoder marks each sequence that is not UTF-8 with U+FFFD, as the file may write that
// character itself: up to the first mark that stands for other bytes, the text encodes back to
// the file's very bytes.
qsizetype FirstInvalidUtf8(QStringView text, QByteArrayView bytes)
{
    static constexpr QByteArrayView kReplacement("\xEF\xBF\xBD");
    qsizetype offset = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0; // the skipped BOM
    qsizetype from = 0;
    for (qsizetype i = text.indexOf(QChar::ReplacementCharacter); i >= 0;
         i = text.indexOf(QChar::ReplacementCharacter, i + 1)) {
        offset += text.sliced(from, i - from).toUtf8().size();
        if (!bytes.sliced(offset).startsWith(kReplacement))
            return i;
        offset += kReplacement.size();
        from = i + 1;
    }
    return text.size();
}

} // namespace

bool CMessageSource::IsMarkupFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0;
}

bool CMessageSource::ReadMessage(const QString& path, QByteArray& stream, CliFailure& failure)
{
    QByteArray bytes;
    if (!ReadBytes(path, bytes, failure))
        return false;
    if (IsMarkupFile(path))
        return ParseMarkupFile(bytes, path, stream, failure);
    if (const std::optional<StreamCheck::Fault> fault = StreamCheck::FirstFault(bytes)) {
        failure = {ExitFile,
                   QCoreApplication::translate("CMessageSource", "Файл %1, смещение %2 (0x%3): %4.")
                       .arg(Quoted(path))
                       .arg(fault->offset)
                       .arg(QString::number(fault->offset, 16).toUpper(), fault->text)};
        return false;
    }
    stream = bytes;
    return true;
}

bool CMessageSource::ParseMarkup(const QString& markup, const QString& where, QByteArray& stream,
                                 CliFailure& failure)
{
    MessageMarkup::Error error;
    if (MessageMarkup::FromReadableMarkup(markup, stream, error))
        return true;
    failure = {ExitFile, where + QStringLiteral(", ") + MessageMarkup::Describe(error) + u'.'};
    return false;
}

bool CMessageSource::ReadBytes(const QString& path, QByteArray& bytes, CliFailure& failure)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failure = {ExitFile,
                   QCoreApplication::translate("CMessageSource", "Не удается открыть файл %1: %2.")
                       .arg(Quoted(path), OpenReason(file))};
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        failure = {ExitFile,
                   QCoreApplication::translate("CMessageSource", "Не удается прочесть файл %1: %2.")
                       .arg(Quoted(path), file.errorString())};
        return false;
    }
    return true;
}

bool CMessageSource::WriteBytes(const QString& path, const QByteArray& bytes, CliFailure& failure)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    const QString folder = QFileInfo(path).path();
    const QString reason =
        QFileInfo(folder).isDir()
            ? file.errorString()
            : QCoreApplication::translate("CMessageSource", "нет папки %1").arg(Quoted(folder));
    failure = {ExitFile,
               QCoreApplication::translate("CMessageSource", "Не удается записать файл %1: %2.")
                   .arg(Quoted(path), reason)};
    return false;
}

QByteArray CMessageSource::MarkupFile(QByteArrayView stream)
{
    if (stream.isEmpty())
        return QByteArray();
    return MessageMarkup::ToMarkup(stream).toUtf8() + '\n';
}

bool CMessageSource::ParseMarkupFile(const QByteArray& bytes, const QString& path,
                                     QByteArray& stream, CliFailure& failure)
{
    QStringDecoder decoder(QStringDecoder::Utf8); // skips a leading BOM
    QString markup = decoder.decode(bytes);
    if (decoder.hasError()) {
        const MessageMarkup::Error error = MessageMarkup::ErrorAt(
            markup, FirstInvalidUtf8(markup, bytes),
            QCoreApplication::translate("CMessageSource", "текст не в кодировке UTF-8"));
        failure = {ExitFile, QCoreApplication::translate("CMessageSource", "Файл %1, %2.")
                                 .arg(Quoted(path), MessageMarkup::Describe(error))};
        return false;
    }
    if (markup.endsWith(u'\n'))
        markup.chop(markup.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
    return ParseMarkup(markup,
                       QCoreApplication::translate("CMessageSource", "Файл ") + Quoted(path),
                       stream, failure);
}

bool CMessageSource::CheckMessage(const QByteArray& stream, int capacity, CliFailure& failure)
{
    if (stream.isEmpty()) {
        failure = {ExitFile, QCoreApplication::translate("CCommandLine",
                                                         "Сообщение пусто: передавать нечего.")};
        return false;
    }
    if (stream.size() > capacity) {
        failure = {ExitFile,
                   QCoreApplication::translate("CCommandLine",
                                               "Сообщение не помещается в память устройства: в нем "
                                               "%1 байт, а помещается %2.")
                       .arg(stream.size())
                       .arg(capacity)};
        return false;
    }
    return true;
}

bool CMessageSource::CheckPayload(const QByteArray& bytes, int capacity, CliFailure& failure)
{
    if (const std::optional<StreamCheck::Fault> fault = StreamCheck::FirstFault(bytes)) {
        failure = {ExitFile,
                   QCoreApplication::translate("CMessageSource", "Смещение %1 (0x%2): %3.")
                       .arg(fault->offset)
                       .arg(QString::number(fault->offset, 16).toUpper(), fault->text)};
        return false;
    }
    return CheckMessage(bytes, capacity, failure);
}
