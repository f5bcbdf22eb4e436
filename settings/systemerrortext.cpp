#include "settings/systemerrortext.h"

#include <cerrno>

QString SystemErrorText(int code, const QString& systemText)
{
    switch (code) {
    case ENOENT:
        return QStringLiteral("Нет такого файла или каталога");
    case EACCES:
        return QStringLiteral("Отказано в доступе");
    case EPERM:
        return QStringLiteral("Операция не позволена");
    case EISDIR:
        return QStringLiteral("Это каталог");
    case ENOTDIR:
        return QStringLiteral("Это не каталог");
    case ENOSPC:
        return QStringLiteral("На устройстве не осталось свободного места");
    case EROFS:
        return QStringLiteral("Файловая система доступна только для чтения");
    case EIO:
        return QStringLiteral("Ошибка ввода/вывода");
    case ENAMETOOLONG:
        return QStringLiteral("Слишком длинное имя файла");
    case EBUSY:
        return QStringLiteral("Устройство или ресурс занято");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Слишком много открытых файлов");
    default:
        return systemText;
    }
}
