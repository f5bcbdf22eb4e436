#include "cli/transferreport.h"

#include "device/multisender.h"
#include "device/portrefusal.h"
#include "settings/uilanguage.h"

QString TransferReport::DisplayText(const CMultiSender& multi, int index, MessageOf message)
{
    const UiLanguage::SourceTexts sourceTexts;
    const TransferOutcome& outcome = multi.Outcome(index);
    QString text = message(outcome.result);
    if (outcome.result == CDeviceSender::Result::OpenFailed) {
        text += u' ' + outcome.refusal.lastError + u' ' +
                CPortRefusal::Details(outcome.refusal).simplified();
    } else if (outcome.result != CDeviceSender::Result::Ok) {
        text += u' ' + outcome.Details();
    }
    return text.simplified();
}

QString TransferReport::DisplayLine(const QString& name, const QString& port, const QString& text)
{
    return QStringLiteral("%1\t%2\t%3\n").arg(name, port, text.simplified());
}
