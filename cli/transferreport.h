#pragma once

#include "device/devicesender.h"

#include <QString>

class CMultiSender;

// The line the command line prints for each display a send to several displays has finished
// with; a script reads these lines, so their words are the same in every language.
namespace TransferReport
{

using MessageOf = QString (*)(CDeviceSender::Result);

// The result's text, and why where it did not succeed: the port's refusal or the transfer's
// details.
QString DisplayText(const CMultiSender& multi, int index, MessageOf message);
// "NAME<tab>PORT<tab>TEXT<newline>", the text on one line.
QString DisplayLine(const QString& name, const QString& port, const QString& text);

} // namespace TransferReport
