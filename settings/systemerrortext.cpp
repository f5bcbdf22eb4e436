#include "settings/systemerrortext.h"

#include <QCoreApplication>

#include <cerrno>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

#ifdef Q_OS_WIN
namespace
{
// Windows reports a failed file operation through GetLastError, not errno.
int LastWindowsErrorAsErrno()
{
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    default:
        return 0;
    }
}
} // namespace
#endif

QString SystemErrorText(int code, const QString& systemText)
{
#ifdef Q_OS_WIN
    if (code == 0)
        code = LastWindowsErrorAsErrno();
#endif
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
