#include "settings/systemerrortext.h"

#include <QCoreApplication>

#include <cerrno>

QString SystemErrorText(int code, const QString& systemText)
{
    switch (code) {
    case ENOENT:
        return QCoreApplication::translate("SystemErrorText", "Нет такого файла или каталога");
    case EACCES:
        return QCoreApplication::translate("SystemErrorText", "Отказано в доступе");
    case EPERM:
        return QCoreApplication::translate("SystemErrorText", "Операция не позволена");
    case EISDIR:
        return QCoreApplication::translate("SystemErrorText", "Это каталог");
    case ENOTDIR:
        return QCoreApplication::translate("SystemErrorText", "Это не каталог");
    case ENOSPC:
        return QCoreApplication::translate("SystemErrorText",
                                           "На устройстве не осталось свободного места");
    case EROFS:
        return QCoreApplication::translate("SystemErrorText",
                                           "Файловая система доступна только для чтения");
    case EIO:
        return QCoreApplication::translate("SystemErrorText", "Ошибка ввода/вывода");
    case ENAMETOOLONG:
        return QCoreApplication::translate("SystemErrorText", "Слишком длинное имя файла");
    case EBUSY:
        return QCoreApplication::translate("SystemErrorText", "Устройство или ресурс занято");
    case EMFILE:
    case ENFILE:
        return QCoreApplication::translate("SystemErrorText", "Слишком много открытых файлов");
    default:
        return systemText;
    }
}
