#include "app/messageboxprompt.h"

#include <QApplication>
#include <QMessageBox>

const QString CMessageBoxPrompt::kCaption = QStringLiteral("Tavrix Editor");

void CMessageBoxPrompt::Inform(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kCaption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void CMessageBoxPrompt::InformDetails(const QString& text, const QString& details)
{
    QMessageBox box(QMessageBox::Warning, kCaption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setDetailedText(details);
    box.exec();
}

void CMessageBoxPrompt::InformSuccess(const QString& text)
{
    QMessageBox box(QMessageBox::Information, kCaption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool CMessageBoxPrompt::AskYesNo(const QString& text)
{
    QMessageBox box(QMessageBox::Question, kCaption, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

ISaveQuestion::Answer CMessageBoxPrompt::AskSaveChanges(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kCaption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    default:
        return Cancel;
    }
}
