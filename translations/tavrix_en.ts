<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>AppSettings</name>
    <message>
        <source>Не удается открыть или не был создан файл настроек программы. 
Создать новый файл настроек с настройками по умолчанию?</source>
        <translation>Cannot open the program&apos;s settings file, or it has not been created. 
Create a new settings file with the default settings?</translation>
    </message>
    <message>
        <source>Неправильный формат файла настроек программы. 
Создать новый файл настроек с настройками по умолчанию?</source>
        <translation>The program&apos;s settings file has a wrong format. 
Create a new settings file with the default settings?</translation>
    </message>
    <message>
        <source>Не удается cоздать файл настроек программы.</source>
        <translation>Cannot create the program&apos;s settings file.</translation>
    </message>
    <message>
        <source>Не удается прочесть список изображений устройства из файла инициализации.</source>
        <translation>Cannot read the list of the device&apos;s pictures from the settings file.</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>О программе Tavrix Editor</source>
        <translation>About Tavrix Editor</translation>
    </message>
    <message>
        <source>Tavrix Editor Версия 1.0</source>
        <translation>Tavrix Editor Version 1.0</translation>
    </message>
    <message>
        <source>Подготовка и передача сообщений для табло бегущей строки.
Лицензия GNU GPL версии 3 или более поздней; Qt используется по лицензии GNU LGPL.</source>
        <translation>Prepares messages for a running-text display and sends them to it.
Licensed under the GNU GPL version 3 or later; Qt is used under the GNU LGPL.</translation>
    </message>
    <message>
        <source>Файл настроек: </source>
        <translation>Settings file: </translation>
    </message>
    <message>
        <source>
Папка шрифтов: </source>
        <translation>
Fonts folder: </translation>
    </message>
</context>
<context>
    <name>CCliSettings</name>
    <message>
        <source> Файл: «%1».</source>
        <translation> File: “%1”.</translation>
    </message>
    <message>
        <source>Неправильный формат файла настроек программы.</source>
        <translation>The program&apos;s settings file has a wrong format.</translation>
    </message>
    <message>
        <source>Не удается открыть или не был создан файл настроек программы.</source>
        <translation>Cannot open the program&apos;s settings file, or it has not been created.</translation>
    </message>
    <message>
        <source>Пустое имя порта в --port.</source>
        <translation>Empty port name in --port.</translation>
    </message>
    <message>
        <source>Скорость «%1» не поддерживается; возможны: %2.</source>
        <translation>Speed “%1” is not supported; possible: %2.</translation>
    </message>
    <message>
        <source> Без него укажите порт и скорость: --port и --baud.</source>
        <translation> Without it, give the port and the speed: --port and --baud.</translation>
    </message>
    <message>
        <source> Действуют настройки по умолчанию: сообщение до %1 байт.</source>
        <translation> Default settings apply: messages of up to %1 bytes.</translation>
    </message>
</context>
<context>
    <name>CCommandLine</name>
    <message>
        <source>Неизвестный параметр «%1».</source>
        <translation>Unknown option “%1”.</translation>
    </message>
    <message>
        <source>После «%1» нужно значение.</source>
        <translation>“%1” needs a value.</translation>
    </message>
    <message>
        <source>Ошибка в командной строке: %1</source>
        <translation>Error in the command line: %1</translation>
    </message>
    <message>
        <source>Передача: %1 из %2 байт (%3 %), осталось %4 с</source>
        <translation>Sending: %1 of %2 bytes (%3 %), %4 s left</translation>
    </message>
    <message>
        <source>Сообщение пусто: передавать нечего.</source>
        <translation>The message is empty: nothing to send.</translation>
    </message>
    <message>
        <source>Сообщение не помещается в память устройства: в нем %1 байт, а помещается %2.</source>
        <translation>The message does not fit in the device&apos;s memory: it has %1 bytes, and %2 fit.</translation>
    </message>
    <message>
        <source>Неизвестная команда «%1». Справка: tavrix-editor --help.</source>
        <translation>Unknown command “%1”. Help: tavrix-editor --help.</translation>
    </message>
    <message>
        <source>Редактору нужен графический сеанс, а DISPLAY и WAYLAND_DISPLAY не заданы. Команды без окна: tavrix-editor --help.</source>
        <translation>The editor needs a graphical session, but neither DISPLAY nor WAYLAND_DISPLAY is set. Commands without a window: tavrix-editor --help.</translation>
    </message>
    <message>
        <source>Использование:
  tavrix-editor [ФАЙЛ.tvd]            редактор сообщений (нужен графический сеанс)
  tavrix-editor КОМАНДА [ПАРАМЕТРЫ]   без окна, в том числе по ssh и из cron

Команды:
  send ФАЙЛ [--port ПОРТ] [--baud СКОРОСТЬ]
      передать сообщение на табло: ФАЙЛ.tvd или разметку ФАЙЛ.txt
  send --text РАЗМЕТКА [--port ПОРТ] [--baud СКОРОСТЬ]
      передать сообщение, записанное разметкой
  convert ВХОД ВЫХОД
      перевести .tvd в разметку .txt или .txt в .tvd
  dump ФАЙЛ | dump --text РАЗМЕТКА
      показать кадр, который ушел бы на табло, ничего не передавая
  ports
      последовательные порты: имя, описание, USB VID:PID (через табуляцию)
  device-settings [--port ПОРТ] [--baud СКОРОСТЬ]
      передать в табло список изображений и флаги из файла настроек
  send ФАЙЛ | --text РАЗМЕТКА  (--display ИМЯ ... | --all) [--displays ФАЙЛ]
  device-settings (--display ИМЯ ... | --all) [--displays ФАЙЛ]
      то же на несколько табло из списка сразу: по строке на табло, затем итог
  displays [--displays ФАЙЛ]
      список табло: имя, порт, скорость (через табуляцию)
  displays --add ИМЯ --port ПОРТ [--baud СКОРОСТЬ] | displays --remove ИМЯ
      добавить табло в список или убрать из него

Параметры:
  --port ПОРТ       порт вместо указанного в файле настроек (COM1, ttyUSB0, ...)
  --baud СКОРОСТЬ   скорость вместо указанной в файле настроек (110 ... 56000)
  --text РАЗМЕТКА   сообщение в разметке вместо файла
  --display ИМЯ     табло из списка (можно несколько раз); --all все табло
  --displays ФАЙЛ   другой список табло вместо displays.ini рядом с настройками
  -h, --help        эта справка
  -v, --version     версия программы

Разметка (UTF-8; на табло уходит Windows-1251):
  {fN} шрифт N (0-9)        {iN} параметр i (0-9)      {vN} параметр v (1-9)
  {sN} полная остановка на N (1-9)                      {eN} эффект N (0-4)
  {xHH} байт HH: символ устройства (80-BF)
  \n или перевод строки: новая строка;  {{ фигурная скобка;  \\ обратная черта

Файл настроек только читается. Без него send работает с --port и --baud.
Коды выхода: 0 все байты ушли в линию, 2 неверная командная строка,
3 файл, разметка или файл настроек, 4 порт не открылся, 5 передача не удалась
(для нескольких табло: худший из исходов),
130 передача прервана Ctrl+C (SIGINT), 143 сигналом SIGTERM, 129 SIGHUP.
Подробнее: man tavrix-editor
</source>
        <translation>Usage:
  tavrix-editor [FILE.tvd]            message editor (needs a graphical session)
  tavrix-editor COMMAND [OPTIONS]     without a window, also over ssh and from cron

Commands:
  send FILE [--port PORT] [--baud SPEED]
      send a message to the display: FILE.tvd or markup in FILE.txt
  send --text MARKUP [--port PORT] [--baud SPEED]
      send a message written as markup
  convert IN OUT
      turn .tvd into .txt markup, or .txt into .tvd
  dump FILE | dump --text MARKUP
      show the frame that would go to the display, sending nothing
  ports
      serial ports: name, description, USB VID:PID (tab separated)
  device-settings [--port PORT] [--baud SPEED]
      send the picture list and the flags of the settings file to the display
  send FILE | --text MARKUP  (--display NAME ... | --all) [--displays FILE]
  device-settings (--display NAME ... | --all) [--displays FILE]
      the same to several displays of the list at once: a line per display, then a summary
  displays [--displays FILE]
      the list of displays: name, port, speed (tab separated)
  displays --add NAME --port PORT [--baud SPEED] | displays --remove NAME
      add a display to the list or remove it

Options:
  --port PORT       port instead of the one in the settings file (COM1, ttyUSB0, ...)
  --baud SPEED      speed instead of the one in the settings file (110 ... 56000)
  --text MARKUP     the message as markup instead of a file
  --display NAME    a display of the list (may be repeated); --all every display
  --displays FILE   another list of displays instead of displays.ini beside the settings
  -h, --help        this help
  -v, --version     the program&apos;s version

Markup (UTF-8; the display gets Windows-1251):
  {fN} font N (0-9)         {iN} parameter i (0-9)     {vN} parameter v (1-9)
  {sN} full stop for N (1-9)                           {eN} effect N (0-4)
  {xHH} byte HH: a device symbol (80-BF)
  \n or a line break: a new line;  {{ a brace;  \\ a backslash

The settings file is only read. Without it, send works with --port and --baud.
Exit status: 0 every byte left the line, 2 wrong command line,
3 file, markup or settings file, 4 the port did not open, 5 the transfer failed
(for several displays: the worst outcome),
130 transfer cancelled by Ctrl+C (SIGINT), 143 by SIGTERM, 129 by SIGHUP.
More: man tavrix-editor
</translation>
    </message>
    <message>
        <source>Параметр «--%1» можно указать только один раз.</source>
        <translation>Option “--%1” may be given only once.</translation>
    </message>
    <message>
        <source>Лишний аргумент «%1».</source>
        <translation>Extra argument “%1”.</translation>
    </message>
    <message>
        <source>Укажите сообщение: файл или --text, одно из двух.</source>
        <translation>Give the message: a file or --text, one of the two.</translation>
    </message>
    <message>
        <source>Разметка --text</source>
        <translation>Markup --text</translation>
    </message>
    <message>
        <source>Команде convert нужны два файла: откуда и куда.</source>
        <translation>The convert command needs two files: from and to.</translation>
    </message>
    <message>
        <source>Команде convert нужны файл .tvd и файл .txt: первый читается, второй пишется.</source>
        <translation>The convert command needs a .tvd file and a .txt file: the first is read, the second written.</translation>
    </message>
    <message>
        <source>Кадр текста: %1 байт; сообщение: %2 байт из %3 возможных.
</source>
        <translation>Text frame: %1 bytes; message: %2 of %3 bytes possible.
</translation>
    </message>
    <message>
        <source>Последовательные порты не найдены.</source>
        <translation>No serial ports found.</translation>
    </message>
    <message>
        <source>Передано на %1 из %2 табло.</source>
        <translation>Sent to %1 of %2 displays.</translation>
    </message>
    <message>
        <source>Настройки переданы на %1 из %2 табло.</source>
        <translation>Settings sent to %1 of %2 displays.</translation>
    </message>
    <message>
        <source>%1 Порт «%2»: %3</source>
        <translation>%1 Port “%2”: %3</translation>
    </message>
    <message>
        <source>табло «%1» пропущено: %2</source>
        <translation>display “%1” skipped: %2</translation>
    </message>
    <message>
        <source>«--displays» действует вместе с «--display» или «--all».</source>
        <translation>“--displays” works together with “--display” or “--all”.</translation>
    </message>
    <message>
        <source>Укажите «--display» или «--all», одно из двух.</source>
        <translation>Give “--display” or “--all”, one of the two.</translation>
    </message>
    <message>
        <source>Порт и скорость табло берутся из списка табло: «--port» и «--baud» с ними не указываются.</source>
        <translation>The displays&apos; port and speed come from the list of displays: “--port” and “--baud” are not given with them.</translation>
    </message>
    <message>
        <source>Табло «%1» записано в списке «%2» с ошибкой.</source>
        <translation>Display “%1” is written with an error in the list “%2”.</translation>
    </message>
    <message>
        <source>Табло «%1» нет в списке «%2».</source>
        <translation>Display “%1” is not in the list “%2”.</translation>
    </message>
    <message>
        <source>В списке «%1» нет ни одного табло.</source>
        <translation>The list “%1” holds no display.</translation>
    </message>
    <message>
        <source>Укажите «--add» или «--remove», одно из двух.</source>
        <translation>Give “--add” or “--remove”, one of the two.</translation>
    </message>
    <message>
        <source>«--port» и «--baud» указываются вместе с «--add».</source>
        <translation>“--port” and “--baud” are given together with “--add”.</translation>
    </message>
    <message>
        <source>Новому табло нужен порт: «--port».</source>
        <translation>A new display needs a port: “--port”.</translation>
    </message>
    <message>
        <source>В списке «%1» есть записи с ошибками: исправьте их, затем повторите.</source>
        <translation>The list “%1” has entries with errors: correct them, then try again.</translation>
    </message>
    <message>
        <source>Пропущено записанных в списке с ошибкой: %1.</source>
        <translation>Skipped as written with a fault in the list: %1.</translation>
    </message>
    <message>
        <source>
Табло площадок через брокер MQTT:
  agent --broker URL --site ПЛОЩАДКА [--displays ФАЙЛ] [--user ИМЯ
        --password-file ФАЙЛ] [--cafile ФАЙЛ] [--keepalive СЕКУНДЫ]
      обслуживать табло площадки: сообщения с брокера на табло, итоги на брокер
  publish ФАЙЛ | --text РАЗМЕТКА --broker URL --site ПЛОЩАДКА
        (--display ИМЯ ... | --all) [--user ИМЯ --password-file ФАЙЛ]
        [--cafile ФАЙЛ] [--wait СЕКУНДЫ]
      опубликовать сообщение и ждать итогов: по строке на табло, затем итог;
      код 6: площадка не ответила вовремя
  URL: mqtt://ХОСТ[:ПОРТ] или mqtts://ХОСТ[:ПОРТ]; пароль из файла или из
  переменной TAVRIX_MQTT_PASSWORD, никогда в командной строке
</source>
        <translation>
Displays of sites through an MQTT broker:
  agent --broker URL --site SITE [--displays FILE] [--user NAME
        --password-file FILE] [--cafile FILE] [--keepalive SECONDS]
      serve the displays of a site: messages from the broker to the displays, results back
  publish FILE | --text MARKUP --broker URL --site SITE
        (--display NAME ... | --all) [--user NAME --password-file FILE]
        [--cafile FILE] [--wait SECONDS]
      publish a message and wait for the results: a line per display, then a summary;
      status 6: the site did not answer in time
  URL: mqtt://HOST[:PORT] or mqtts://HOST[:PORT]; the password from a file or from
  the variable TAVRIX_MQTT_PASSWORD, never on the command line
</translation>
    </message>
    <message>
        <source>«--%1» ждет число секунд от %2 до %3.</source>
        <translation>“--%1” takes a number of seconds from %2 to %3.</translation>
    </message>
    <message>
        <source>Нужен параметр «--%1».</source>
        <translation>Option “--%1” is needed.</translation>
    </message>
    <message>
        <source>Площадка «%1» не годится: %2.</source>
        <translation>Site “%1” will not do: %2.</translation>
    </message>
    <message>
        <source>имя пусто</source>
        <translation>the name is empty</translation>
    </message>
    <message>
        <source>«--cafile» нужен только для mqtts://.</source>
        <translation>“--cafile” is only for mqtts://.</translation>
    </message>
    <message>
        <source>«--password-file» указывается вместе с «--user».</source>
        <translation>“--password-file” is given together with “--user”.</translation>
    </message>
    <message>
        <source>Файл пароля «%1» не читается: %2.</source>
        <translation>The password file “%1” cannot be read: %2.</translation>
    </message>
    <message>
        <source>В этой сборке нет поддержки MQTT: команды agent и publish недоступны.</source>
        <translation>This build has no MQTT support: the agent and publish commands are not available.</translation>
    </message>
    <message>
        <source>%1: табло «%2» пропущено: %3.</source>
        <translation>%1: display “%2” skipped: %3.</translation>
    </message>
    <message>
        <source>Табло «%1» не годится: %2.</source>
        <translation>Display “%1” will not do: %2.</translation>
    </message>
</context>
<context>
    <name>CConsole</name>
    <message>
        <source>Стандартный вывод не принимает строки: %1.</source>
        <translation>Standard output takes no more lines: %1.</translation>
    </message>
</context>
<context>
    <name>CDeviceCommands</name>
    <message>
        <source>Передать текст на несколько табло</source>
        <translation>Send Text to Several Displays</translation>
    </message>
    <message>
        <source>Передано на %1 из %2 табло.</source>
        <translation>Sent to %1 of %2 displays.</translation>
    </message>
</context>
<context>
    <name>CDeviceSender</name>
    <message>
        <source>Передача данных успешно завершена!!!</source>
        <translation>Data transfer completed successfully!!!</translation>
    </message>
    <message>
        <source>Не удается открыть последовательный порт.</source>
        <translation>Cannot open the serial port.</translation>
    </message>
    <message>
        <source>Передача данных не удалась.</source>
        <translation>Data transfer failed.</translation>
    </message>
    <message>
        <source>Передача прервана.</source>
        <translation>Transfer cancelled.</translation>
    </message>
    <message>
        <source>Настройки успешно переданы в устройство!</source>
        <translation>Settings sent to the device successfully!</translation>
    </message>
    <message>
        <source>Не удается открыть порт. Проверьте настройки последовательного порта.</source>
        <translation>Cannot open the port. Check the serial port settings.</translation>
    </message>
    <message>
        <source>Не удается передать настройки в устройство.</source>
        <translation>Cannot send the settings to the device.</translation>
    </message>
    <message>
        <source>Сервер принял все %1 байт; доставку на табло он не подтверждает.</source>
        <translation>The server took all %1 bytes; it does not confirm their delivery to the display.</translation>
    </message>
</context>
<context>
    <name>CDeviceSettingsDlg</name>
    <message>
        <source>Настройки устройства</source>
        <translation>Device Settings</translation>
    </message>
    <message>
        <source>Недопустимое значение порядкового номера изображения</source>
        <translation>Invalid picture order number</translation>
    </message>
    <message>
        <source>Недопустимое значение длительности показа изображения</source>
        <translation>Invalid picture display duration</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Служебные настройки устройства</source>
        <translation>Device service settings</translation>
    </message>
    <message>
        <source>Список всех изображений</source>
        <translation>List of all pictures</translation>
    </message>
    <message>
        <source>Редактирование</source>
        <translation>Editing</translation>
    </message>
    <message>
        <source>Название изображения</source>
        <translation>Picture name</translation>
    </message>
    <message>
        <source>Внести изменения</source>
        <translation>Apply changes</translation>
    </message>
    <message>
        <source>Использование</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>Порядковый номер</source>
        <translation>Order number</translation>
    </message>
    <message>
        <source>Длительность (с)</source>
        <translation>Duration (s)</translation>
    </message>
    <message>
        <source>Выводить приветствие при включении</source>
        <translation>Show the greeting at power-on</translation>
    </message>
    <message>
        <source>Выводить демонстрационную строку</source>
        <translation>Show the demonstration string</translation>
    </message>
    <message>
        <source>Выводить демонстрационные картинки</source>
        <translation>Show the demonstration pictures</translation>
    </message>
    <message>
        <source>Список всех изображений </source>
        <translation>List of all pictures </translation>
    </message>
    <message>
        <source>Применить к устройству</source>
        <translation>Apply to device</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Показ</source>
        <translation>Shown</translation>
    </message>
    <message>
        <source>Номер</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>На несколько табло…</source>
        <translation>To Several Displays…</translation>
    </message>
    <message>
        <source>Передать настройки на несколько табло</source>
        <translation>Send the Settings to Several Displays</translation>
    </message>
    <message>
        <source>Настройки переданы на %1 из %2 табло.</source>
        <translation>Settings sent to %1 of %2 displays.</translation>
    </message>
</context>
<context>
    <name>CDisplayChoiceDlg</name>
    <message>
        <source>Табло</source>
        <translation>Displays</translation>
    </message>
    <message>
        <source>%1  —  ошибка в записи, пропущено</source>
        <translation>%1  —  faulty entry, skipped</translation>
    </message>
    <message>
        <source>Отметить &amp;все</source>
        <translation>Check &amp;All</translation>
    </message>
    <message>
        <source>&amp;Снять отметки</source>
        <translation>&amp;Uncheck All</translation>
    </message>
    <message>
        <source>Передать</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&amp;Отметьте табло, на которые передать:</source>
        <translation>&amp;Check the displays to send to:</translation>
    </message>
    <message>
        <source>В списке табло «%1» нет ни одного исправного табло. Добавьте их: «Настройки → Список табло…».</source>
        <translation>The display list “%1” holds no usable display. Add displays under “Settings → Display List…”.</translation>
    </message>
</context>
<context>
    <name>CDisplayEditDlg</name>
    <message>
        <source>есть (mark)</source>
        <translation>yes (mark)</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Табло</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Последовательный порт (COM1, ttyUSB0, /dev/ttyACM0) или сервер порта: tcp://ХОСТ:ПОРТ, rfc2217://ХОСТ:ПОРТ</source>
        <translation>A serial port (COM1, ttyUSB0, /dev/ttyACM0) or a port server: tcp://HOST:PORT, rfc2217://HOST:PORT</translation>
    </message>
    <message>
        <source>&amp;Имя:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>&amp;Порт:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <source>&amp;Скорость обмена:</source>
        <translation>&amp;Baud rate:</translation>
    </message>
    <message>
        <source>Число &amp;информационных бит:</source>
        <translation>&amp;Data bits:</translation>
    </message>
    <message>
        <source>Число с&amp;топовых бит:</source>
        <translation>S&amp;top bits:</translation>
    </message>
    <message>
        <source>Бит &amp;четности:</source>
        <translation>&amp;Parity bit:</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CDisplayList</name>
    <message>
        <source>Не удается прочитать список табло «%1»: %2</source>
        <translation>Cannot read the list of displays “%1”: %2</translation>
    </message>
    <message>
        <source>Не удается записать список табло «%1»: %2</source>
        <translation>Cannot write the list of displays “%1”: %2</translation>
    </message>
    <message>
        <source>Файл не в кодировке UTF-8.</source>
        <translation>The file is not in UTF-8.</translation>
    </message>
    <message>
        <source>Не указан порт (port).</source>
        <translation>No port given (port).</translation>
    </message>
    <message>
        <source>Строка не вида «ключ = значение»: «%1».</source>
        <translation>The line is not of the form “key = value”: “%1”.</translation>
    </message>
    <message>
        <source>Строка до первого раздела [имя табло].</source>
        <translation>A line before the first section [display name].</translation>
    </message>
    <message>
        <source>Ключ «%1» уже задан.</source>
        <translation>Key “%1” is already given.</translation>
    </message>
    <message>
        <source>Пустой порт.</source>
        <translation>Empty port.</translation>
    </message>
    <message>
        <source>Значение %1 = %2 не поддерживается; возможны: %3.</source>
        <translation>Value %1 = %2 is not supported; possible: %3.</translation>
    </message>
    <message>
        <source>Скорость «%1» не поддерживается; возможны: %2.</source>
        <translation>Speed “%1” is not supported; possible: %2.</translation>
    </message>
    <message>
        <source>Пустое имя табло.</source>
        <translation>Empty display name.</translation>
    </message>
    <message>
        <source>Имя табло «%1» не может начинаться или кончаться пробелом и содержать скобки [ ] или управляющие символы.</source>
        <translation>Display name “%1” may not start or end with a blank, nor contain brackets [ ] or control characters.</translation>
    </message>
    <message>
        <source>Табло «%1» уже есть в списке.</source>
        <translation>Display “%1” is already in the list.</translation>
    </message>
    <message>
        <source>Неверное имя порта «%1»: нужно слово без пробелов, не длиннее %2 знаков.</source>
        <translation>Wrong port name “%1”: it must be one word without blanks, at most %2 characters long.</translation>
    </message>
    <message>
        <source>Настройки линии табло «%1» вне допустимых.</source>
        <translation>The line settings of display “%1” are out of range.</translation>
    </message>
    <message>
        <source>Неизвестный ключ «%1»; бывают port, baud, data, stop, parity-check.</source>
        <translation>Unknown key “%1”; the keys are port, baud, data, stop, parity-check.</translation>
    </message>
    <message>
        <source>Порт «%1» записан в кавычках: пишется без них.</source>
        <translation>Port “%1” is written in quotes: write it without them.</translation>
    </message>
    <message>
        <source>Номер порта в «%1» начинается с нуля: пишется без него.</source>
        <translation>The port number in “%1” begins with a zero: write it without.</translation>
    </message>
</context>
<context>
    <name>CDisplayListDlg</name>
    <message>
        <source>Список табло</source>
        <translation>Display List</translation>
    </message>
    <message>
        <source>Табло</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Порт</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Скорость</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>Биты</source>
        <translation>Bits</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Четность</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>&amp;Добавить…</source>
        <translation>&amp;Add…</translation>
    </message>
    <message>
        <source>&amp;Изменить…</source>
        <translation>&amp;Change…</translation>
    </message>
    <message>
        <source>&amp;Копировать…</source>
        <translation>C&amp;opy…</translation>
    </message>
    <message>
        <source>&amp;Удалить</source>
        <translation>&amp;Remove</translation>
    </message>
    <message>
        <source>Файл: %1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Проверить</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Открыть и закрыть порт табло «%1»</source>
        <translation>Open and close the port of display “%1”</translation>
    </message>
    <message>
        <source>(строка %1)</source>
        <translation>(line %1)</translation>
    </message>
    <message>
        <source>Ошибка в записи (строка %1): %2</source>
        <translation>Faulty entry (line %1): %2</translation>
    </message>
    <message>
        <source>Новое табло</source>
        <translation>New Display</translation>
    </message>
    <message>
        <source>Табло «%1»</source>
        <translation>Display “%1”</translation>
    </message>
    <message>
        <source>%1 (копия)</source>
        <translation>%1 (copy)</translation>
    </message>
    <message>
        <source>Копия табло «%1»</source>
        <translation>Copy of Display “%1”</translation>
    </message>
    <message>
        <source>Не удается открыть порт %1 табло «%2».</source>
        <translation>Cannot open port %1 of display “%2”.</translation>
    </message>
    <message>
        <source>Список табло «%1» не записан: %2 Исправьте файл, затем повторите.</source>
        <translation>The display list “%1” was not written: %2 Correct the file, then try again.</translation>
    </message>
    <message>
        <source>Порт %1 открывается.</source>
        <translation>Port %1 opens.</translation>
    </message>
</context>
<context>
    <name>CDotPanel</name>
    <message>
        <source>Изображение табло</source>
        <translation>Display picture</translation>
    </message>
</context>
<context>
    <name>CEditorSettingsDlg</name>
    <message>
        <source>Настройки текстового редактора</source>
        <translation>Text Editor Settings</translation>
    </message>
    <message>
        <source>Выберите директорию со шрифтами</source>
        <translation>Choose the folder with the fonts</translation>
    </message>
    <message>
        <source>Обзор</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>Максимальное количество символов в текстовом редакторе</source>
        <translation>Maximum number of characters in the text editor</translation>
    </message>
    <message>
        <source>Директория размещения файлов шрифтов :</source>
        <translation>Folder of the font files :</translation>
    </message>
    <message>
        <source>Список шрифтов, которые поддерживает устройство
(названия шрифтов вводяться согласно их номерам в памяти устройства) :</source>
        <translation>Fonts the device supports
(enter the font names in the order of their numbers in the device&apos;s memory) :</translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CEffectsDlg</name>
    <message>
        <source>Специальные возможности</source>
        <translation>Special Features</translation>
    </message>
    <message>
        <source>Полная остановка текста</source>
        <translation>Full stop of the text</translation>
    </message>
    <message>
        <source>Длительность</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Спецэффекты</source>
        <translation>Special effects</translation>
    </message>
    <message>
        <source>сдвиг строки вверх</source>
        <translation>line moves up</translation>
    </message>
    <message>
        <source>сдвиг строки вниз</source>
        <translation>line moves down</translation>
    </message>
    <message>
        <source>закраска строки снизу</source>
        <translation>line fills from below</translation>
    </message>
    <message>
        <source>закраска строки сверху</source>
        <translation>line fills from above</translation>
    </message>
    <message>
        <source>закраска строки шумом</source>
        <translation>line fills with noise</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CFontLibrary</name>
    <message>
        <source>Не удается загрузить файлы шрифтов из : </source>
        <translation>Cannot load the font files from : </translation>
    </message>
    <message>
        <source>Не все файлы шрифтов удалось загрузить.</source>
        <translation>Not all the font files could be loaded.</translation>
    </message>
</context>
<context>
    <name>CHelpDlg</name>
    <message>
        <source>Справка Tavrix Editor</source>
        <translation>Tavrix Editor Help</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CInteractiveEditCtrl</name>
    <message>
        <source>Текст сообщения</source>
        <translation>Message text</translation>
    </message>
</context>
<context>
    <name>CJournalDlg</name>
    <message>
        <source>Журнал передач</source>
        <translation>Transfer Journal</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Табло</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Порт</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Байт</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>Итог</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Причина</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>Файл: %1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>&amp;Обновить</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>%1 из %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>Передача не удалась</source>
        <translation>The transfer failed</translation>
    </message>
    <message>
        <source>Ошибка: %1</source>
        <translation>Error: %1</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Для получения помощи нажмите F1.</source>
        <translation>For Help, press F1.</translation>
    </message>
    <message>
        <source>Идет передача данных в устройство. Прервать передачу и закрыть программу?</source>
        <translation>Data is being sent to the device. Stop the transfer and close the program?</translation>
    </message>
    <message>
        <source>Сохранить изменения в %1?</source>
        <translation>Save changes to %1?</translation>
    </message>
    <message>
        <source>Не удается открыть документ %1.
%2</source>
        <translation>Cannot open the document %1.
%2</translation>
    </message>
    <message>
        <source>Не удается сохранить документ %1.
%2</source>
        <translation>Cannot save the document %1.
%2</translation>
    </message>
    <message>
        <source>Сообщение не помещается в память устройства: сохранено только %1 байт из %2.</source>
        <translation>The message does not fit in the device&apos;s memory: only %1 of %2 bytes were saved.</translation>
    </message>
    <message>
        <source>Файл длиннее допустимого размера сообщения (MAXSYM): будет сохранено только %1 байт из %2.
Сохранить сокращенное сообщение?</source>
        <translation>The file is longer than the message size allowed (MAXSYM): only %1 of %2 bytes will be saved.
Save the shortened message?</translation>
    </message>
    <message>
        <source>Язык (Language)</source>
        <translation>Language (Язык)</translation>
    </message>
    <message>
        <source>Язык сменится при следующем запуске.</source>
        <translation>The language changes at the next start.</translation>
    </message>
    <message>
        <source>Панель управления</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>Сохранить изображение табло</source>
        <translation>Save Display Picture</translation>
    </message>
    <message>
        <source>Изображение слишком велико.</source>
        <translation>The picture is too large.</translation>
    </message>
    <message>
        <source>Не удается сохранить изображение табло %1.
%2</source>
        <translation>Cannot save the display picture %1.
%2</translation>
    </message>
    <message>
        <source>Стрелки вверх и вниз перемещают границу панелей; Enter закрепляет, Esc отменяет.</source>
        <translation>The Up and Down arrows move the border between the panes; Enter fixes it, Esc cancels.</translation>
    </message>
</context>
<context>
    <name>CMessageSource</name>
    <message>
        <source>файла нет</source>
        <translation>no such file</translation>
    </message>
    <message>
        <source>это папка, а не файл</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>нет права на чтение</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>Файл %1, смещение %2 (0x%3): %4.</source>
        <translation>File %1, offset %2 (0x%3): %4.</translation>
    </message>
    <message>
        <source>Не удается открыть файл %1: %2.</source>
        <translation>Cannot open the file %1: %2.</translation>
    </message>
    <message>
        <source>Не удается прочесть файл %1: %2.</source>
        <translation>Cannot read the file %1: %2.</translation>
    </message>
    <message>
        <source>нет папки %1</source>
        <translation>no folder %1</translation>
    </message>
    <message>
        <source>Не удается записать файл %1: %2.</source>
        <translation>Cannot write the file %1: %2.</translation>
    </message>
    <message>
        <source>текст не в кодировке UTF-8</source>
        <translation>the text is not in UTF-8</translation>
    </message>
    <message>
        <source>Файл %1, %2.</source>
        <translation>File %1, %2.</translation>
    </message>
    <message>
        <source>Файл </source>
        <translation>File </translation>
    </message>
    <message>
        <source>«%1»</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>Смещение %1 (0x%2): %3.</source>
        <translation>Offset %1 (0x%2): %3.</translation>
    </message>
</context>
<context>
    <name>CMqttClient</name>
    <message>
        <source>Адрес брокера «%1» записан неверно: нужно mqtt://ХОСТ[:ПОРТ] или mqtts://ХОСТ[:ПОРТ].</source>
        <translation>The broker address “%1” is malformed: it must be mqtt://HOST[:PORT] or mqtts://HOST[:PORT].</translation>
    </message>
    <message>
        <source>Брокер %1 не принял вход: неверное имя или пароль (%2).</source>
        <translation>The broker %1 refused the login: wrong user name or password (%2).</translation>
    </message>
    <message>
        <source>Защищенное соединение с брокером %1 не установлено: сертификат брокера не подтвержден (--cafile) или брокер говорит без TLS.</source>
        <translation>No secure connection to the broker %1: its certificate is not vouched for (--cafile), or the broker does not speak TLS.</translation>
    </message>
    <message>
        <source>Брокер %1 недоступен: %2.</source>
        <translation>The broker %1 cannot be reached: %2.</translation>
    </message>
</context>
<context>
    <name>CMultiTransferDlg</name>
    <message>
        <source>Передача на несколько табло</source>
        <translation>Sending to Several Displays</translation>
    </message>
    <message>
        <source>Табло</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Порт</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Ход передачи</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Байт</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>Итог</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Табло и ход передачи</source>
        <translation>Displays and transfer progress</translation>
    </message>
    <message>
        <source>ожидает</source>
        <translation>waiting</translation>
    </message>
    <message>
        <source>%1 из %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message numerus="yes">
        <source>Идет передача данных на %n табло ...</source>
        <translation>
            <numerusform>Sending data to %n display ...</numerusform>
            <numerusform>Sending data to %n displays ...</numerusform>
        </translation>
    </message>
    <message>
        <source>Причины неудач</source>
        <translation>Reasons for failures</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>До линии дошло %1 из %2 байт: табло отключено или не принимает данные.</source>
        <translation>%1 of %2 bytes reached the line: the display is disconnected or does not accept data.</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CNetworkPort</name>
    <message>
        <source>«%1» — не адрес сетевого порта. Адрес записывается как tcp://СЕРВЕР:ПОРТ или rfc2217://СЕРВЕР:ПОРТ.</source>
        <translation>“%1” is not a network port address. An address is written as tcp://SERVER:PORT or rfc2217://SERVER:PORT.</translation>
    </message>
    <message>
        <source>К серверу %1 уже идет передача из этой программы. Дождитесь ее окончания и повторите.</source>
        <translation>A transfer from this program to the server %1 is already running. Wait until it ends and try again.</translation>
    </message>
    <message>
        <source>Имя «%1» не найдено в сети. Проверьте адрес сервера последовательных портов.</source>
        <translation>The name “%1” was not found on the network. Check the address of the serial device server.</translation>
    </message>
    <message>
        <source>Сервер %1 отказал в соединении: на этом порту ничего не слушает. Проверьте номер порта и настройки сервера.</source>
        <translation>The server %1 refused the connection: nothing listens on that port. Check the port number and the server&apos;s settings.</translation>
    </message>
    <message>
        <source>Сервер %1 не ответил за %2 с. Проверьте адрес, сеть и питание сервера.</source>
        <translation>The server %1 did not answer within %2 s. Check the address, the network and the server&apos;s power.</translation>
    </message>
    <message>
        <source>Не удается соединиться с сервером %1: %2</source>
        <translation>Cannot connect to the server %1: %2</translation>
    </message>
    <message>
        <source>Сервер %1 не принимает настройки линии из окна «Настройки COM порта» (скорость, число битов данных).</source>
        <translation>The server %1 does not accept the line settings of the “COM Port Settings” window (speed, number of data bits).</translation>
    </message>
    <message>
        <source>Сервер %1 закрыл соединение, не подтвердив настройку линии.</source>
        <translation>The server %1 closed the connection without confirming the line settings.</translation>
    </message>
    <message>
        <source>Сервер %1 не подтвердил настройку линии за %2 с: похоже, он не поддерживает RFC 2217. Если линию настраивает сам сервер, укажите порт как tcp://%1.</source>
        <translation>The server %1 did not confirm the line settings within %2 s: it seems not to support RFC 2217. If the server sets the line itself, give the port as tcp://%1.</translation>
    </message>
    <message>
        <source>Имя «%1» не удалось найти в сети за %2 с. Проверьте адрес сервера и настройки сети.</source>
        <translation>The name “%1” could not be found on the network within %2 s. Check the address of the server and the network settings.</translation>
    </message>
    <message>
        <source>Сервер %1 без конца шлет запросы Telnet; соединение с ним закрыто.</source>
        <translation>The server %1 sends Telnet requests without end; the connection to it has been closed.</translation>
    </message>
</context>
<context>
    <name>COpenProgress</name>
    <message>
        <source>Открытие файла %1...</source>
        <translation>Opening the file %1...</translation>
    </message>
</context>
<context>
    <name>CPortRefusal</name>
    <message>
        <source>Устройства %1 нет в системе. Проверьте, подключен ли адаптер, и выберите порт в окне «Настройки COM порта».</source>
        <translation>The device %1 is not in the system. Check that the adapter is plugged in, and choose the port in the “COM Port Settings” window.</translation>
    </message>
    <message>
        <source>Нет прав на доступ к устройству %1.</source>
        <translation>No permission to use the device %1.</translation>
    </message>
    <message>
        <source> Попросите администратора дать вам доступ к нему.</source>
        <translation> Ask the administrator for access to it.</translation>
    </message>
    <message>
        <source> Оно принадлежит группе %1: добавьте себя в эту группу командой

sudo usermod -aG %1 $USER

и войдите в систему заново.</source>
        <translation> It belongs to the group %1: add yourself to that group with the command

sudo usermod -aG %1 $USER

and log in again.</translation>
    </message>
    <message>
        <source>Порт %1 занят другой программой (или другой копией Tavrix Editor). Закройте ее и повторите.</source>
        <translation>Port %1 is held by another program (or another copy of Tavrix Editor). Close it and try again.</translation>
    </message>
    <message>
        <source>Порт %1 открылся, но система не принимает его настройки (скорость, число битов данных или стоповых битов). Выберите другие в окне «Настройки COM порта».</source>
        <translation>Port %1 opened, but the system refuses its settings (speed, number of data bits or stop bits). Choose others in the “COM Port Settings” window.</translation>
    </message>
    <message>
        <source>Система не дает открыть порт %1.</source>
        <translation>The system does not let port %1 open.</translation>
    </message>
    <message>
        <source>

Сообщение системы: </source>
        <translation>

System message: </translation>
    </message>
    <message>
        <source>Устройства %1 нет в системе. Проверьте, подключен ли адаптер, и выберите порт табло «%2»: «Изменить…» в окне «Список табло».</source>
        <translation>The device %1 is not in the system. Check that the adapter is plugged in, and choose the port of display “%2”: “Change…” in the “Display List” window.</translation>
    </message>
    <message>
        <source>Порт %1 открылся, но система не принимает его настройки (скорость, число битов данных или стоповых битов). Выберите другие для табло «%2»: «Изменить…» в окне «Список табло».</source>
        <translation>Port %1 opened, but the system refuses its settings (speed, number of data bits or stop bits). Choose others for display “%2”: “Change…” in the “Display List” window.</translation>
    </message>
</context>
<context>
    <name>CPortSetDialog</name>
    <message>
        <source>Настройки COM порта</source>
        <translation>COM Port Settings</translation>
    </message>
    <message>
        <source>Есть</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Настройка COM порта</source>
        <translation>COM port settings</translation>
    </message>
    <message>
        <source> Скоростость обмена</source>
        <translation> Baud rate</translation>
    </message>
    <message>
        <source> Число информационных бит</source>
        <translation> Data bits</translation>
    </message>
    <message>
        <source> Число стоповых бит</source>
        <translation> Stop bits</translation>
    </message>
    <message>
        <source> Наличие бита четности</source>
        <translation> Parity bit</translation>
    </message>
    <message>
        <source>Сброс настроек</source>
        <translation>Reset settings</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Другой порт:</source>
        <translation>Other port:</translation>
    </message>
    <message>
        <source>Другой порт</source>
        <translation>Other port</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Сетевой порт записывается как tcp://СЕРВЕР:ПОРТ или rfc2217://СЕРВЕР:ПОРТ, где ПОРТ — число от 1 до 65535.</source>
        <translation>A network port is written as tcp://SERVER:PORT or rfc2217://SERVER:PORT, where PORT is a number from 1 to 65535.</translation>
    </message>
    <message>
        <source>Имя порта не может быть пустым, содержать пробелы или быть длиннее 255 символов.</source>
        <translation>A port name may not be empty, contain blanks or be longer than 255 characters.</translation>
    </message>
</context>
<context>
    <name>CPublisher</name>
    <message>
        <source>Нет ответа за %1 с.</source>
        <translation>No answer within %1 s.</translation>
    </message>
    <message>
        <source>Площадка «%1» не ответила за %2 с: ее агент ни разу не был на связи с брокером.</source>
        <translation>Site “%1” did not answer within %2 s: its agent has never been connected to the broker.</translation>
    </message>
</context>
<context>
    <name>CSerialPort</name>
    <message>
        <source>Порт уже открыт.</source>
        <translation>The port is already open.</translation>
    </message>
    <message>
        <source>Не удается открыть порт.</source>
        <translation>Cannot open the port.</translation>
    </message>
    <message>
        <source>Не удается настроить порт.</source>
        <translation>Cannot configure the port.</translation>
    </message>
    <message>
        <source>Соединение с сервером %1 потеряно во время передачи: сервер принял %2 из %3 байт.</source>
        <translation>The connection to the server %1 was lost during the transfer: the server took %2 of %3 bytes.</translation>
    </message>
    <message>
        <source>Сервер %1 не подтвердил прием данных за %2 с: он принял %3 из %4 байт.</source>
        <translation>The server %1 did not acknowledge the data within %2 s: it took %3 of %4 bytes.</translation>
    </message>
    <message>
        <source>Время передачи истекло, пока шло соединение с сервером %1.</source>
        <translation>The transfer ran out of time while connecting to the server %1.</translation>
    </message>
    <message>
        <source>Время передачи истекло, пока сервер %1 подтверждал настройку линии.</source>
        <translation>The transfer ran out of time while the server %1 was confirming the line settings.</translation>
    </message>
    <message>
        <source>Время передачи истекло, пока сервер %1 принимал данные.</source>
        <translation>The transfer ran out of time while the server %1 was taking the data.</translation>
    </message>
    <message>
        <source>Время передачи истекло, пока закрывалось соединение с сервером %1.</source>
        <translation>The transfer ran out of time while the connection to the server %1 was closing.</translation>
    </message>
</context>
<context>
    <name>CSiteAgent</name>
    <message>
        <source>«/», «+» и «#» в имени не годятся для темы брокера</source>
        <translation>“/”, “+” and “#” in a name do not fit a broker topic</translation>
    </message>
    <message>
        <source>имя «all» у брокера значит «все табло площадки»</source>
        <translation>the name “all” means “every display of the site” to the broker</translation>
    </message>
    <message>
        <source>Нет связи с брокером %1: %2. Новая попытка через %3 с.</source>
        <translation>No connection to the broker %1: %2. Next attempt in %3 s.</translation>
    </message>
    <message>
        <source>Площадка «%1»: табло %2, брокер %3.</source>
        <translation>Site “%1”: %2 displays, broker %3.</translation>
    </message>
    <message>
        <source>Связь с брокером %1 есть.</source>
        <translation>Connected to the broker %1.</translation>
    </message>
    <message>
        <source>Сообщение для табло «%1», которого нет в списке, пропущено.</source>
        <translation>A message for display “%1”, which is not in the list, is skipped.</translation>
    </message>
    <message>
        <source>Агент площадки «%1» остановлен.</source>
        <translation>The agent of site “%1” has stopped.</translation>
    </message>
    <message>
        <source>Файл состояния «%1» не записан: %2.</source>
        <translation>The state file “%1” was not written: %2.</translation>
    </message>
</context>
<context>
    <name>CSymbolSetDlg</name>
    <message>
        <source>Набор символов шрифта</source>
        <translation>Font Character Set</translation>
    </message>
    <message>
        <source>Выберите символ и нажмите кнопку &quot;Вставить&quot;
или  дважды щелкните левой кнопкой мыши на выбраном символе.  </source>
        <translation>Choose a character and press the &quot;Insert&quot; button
or  double-click the character with the left mouse button.  </translation>
    </message>
    <message>
        <source>Данный шрифт не загружен и не может быть отображен.</source>
        <translation>This font is not loaded and cannot be shown.</translation>
    </message>
    <message>
        <source>Символы с кодами 0, 1, 2 и 3 заняты управляющими кодами устройства и не могут быть вставлены в текст.</source>
        <translation>The characters with codes 0, 1, 2 and 3 are taken by the device&apos;s control codes and cannot be inserted in the text.</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CTavrixEditorDoc</name>
    <message>
        <source>Файл длиннее допустимого размера сообщения (MAXSYM): загружено %1 байт из %2.</source>
        <translation>The file is longer than the message size allowed (MAXSYM): %1 of %2 bytes loaded.</translation>
    </message>
</context>
<context>
    <name>CTavrixEditorView</name>
    <message>
        <source>Сообщение не помещается в память устройства: будет передано только %1 байт из %2.
Передать сокращенное сообщение?</source>
        <translation>The message does not fit in the device&apos;s memory: only %1 of %2 bytes will be sent.
Send the shortened message?</translation>
    </message>
    <message>
        <source>Сообщение не помещается в %1размер: сохранено только %2 байт из %3.</source>
        <translation>The message does not fit the %1size: only %2 of %3 bytes were kept.</translation>
    </message>
    <message>
        <source>новый </source>
        <translation>new </translation>
    </message>
</context>
<context>
    <name>CTavrixView</name>
    <message>
        <source>Пуск</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>Показать бегущую строку</source>
        <translation>Show the running text</translation>
    </message>
    <message>
        <source>Ширина табло:</source>
        <translation>Display width:</translation>
    </message>
    <message>
        <source>Ширина табло</source>
        <translation>Display width</translation>
    </message>
    <message>
        <source> точек</source>
        <translation> dots</translation>
    </message>
    <message>
        <source>идет показ</source>
        <translation>running</translation>
    </message>
    <message>
        <source>пауза</source>
        <translation>paused</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
</context>
<context>
    <name>CTransferJournal</name>
    <message>
        <source>передано</source>
        <translation>sent</translation>
    </message>
    <message>
        <source>принято сервером</source>
        <translation>taken by the server</translation>
    </message>
    <message>
        <source>порт не открылся</source>
        <translation>port did not open</translation>
    </message>
    <message>
        <source>не удалось</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>прервано</source>
        <translation>cancelled</translation>
    </message>
</context>
<context>
    <name>CTransferStatusDlg</name>
    <message>
        <source>Состояние</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Идет передача данных через последовательный порт ...</source>
        <translation>Sending data through the serial port ...</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 из %2 байт</source>
        <translation>%1 of %2 bytes</translation>
    </message>
    <message>
        <source>Осталось: %1 с</source>
        <translation>%1 s left</translation>
    </message>
    <message>
        <source>Осталось: %1 мин %2 с</source>
        <translation>%1 min %2 s left</translation>
    </message>
    <message>
        <source>Идет передача данных через порт %1 ...</source>
        <translation>Sending data through port %1 ...</translation>
    </message>
    <message>
        <source>Не удается открыть порт %1.</source>
        <translation>Cannot open port %1.</translation>
    </message>
</context>
<context>
    <name>CommandTable</name>
    <message>
        <source>&amp;Новый	Ctrl+N</source>
        <translation>&amp;New	Ctrl+N</translation>
    </message>
    <message>
        <source>Создать новый документ</source>
        <translation>Create a new document</translation>
    </message>
    <message>
        <source>Новый</source>
        <translation>New</translation>
    </message>
    <message>
        <source>&amp;Открыть...	Ctrl+O</source>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>Открыть существующий документ</source>
        <translation>Open an existing document</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>&amp;Сохранить	Ctrl+S</source>
        <translation>&amp;Save	Ctrl+S</translation>
    </message>
    <message>
        <source>Сохранить текущий документ</source>
        <translation>Save the active document</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Сохранить &amp;Как...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>Сохранить текущий документ с новым именем</source>
        <translation>Save the active document with a new name</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>Сохранить изображение табло…</source>
        <translation>Save Display Picture…</translation>
    </message>
    <message>
        <source>Сохранить изображение табло в файл PNG</source>
        <translation>Save the display&apos;s picture to a PNG file</translation>
    </message>
    <message>
        <source>Сохранить изображение табло</source>
        <translation>Save Display Picture</translation>
    </message>
    <message>
        <source>Последние файлы</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>&amp;Отменить	Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>Вырезать	Ctrl+X</source>
        <translation>Cu&amp;t	Ctrl+X</translation>
    </message>
    <message>
        <source>Копировать	Ctrl+C</source>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Вставить	Ctrl+V</source>
        <translation>&amp;Paste	Ctrl+V</translation>
    </message>
    <message>
        <source>&amp;Панель управления</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>&amp;Строка состояния</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>Разделяемые окна</source>
        <translation>Split Panes</translation>
    </message>
    <message>
        <source>Разделение окна просмотра на панели</source>
        <translation>Split the view into panes</translation>
    </message>
    <message>
        <source>Разделенные панели</source>
        <translation>Split panes</translation>
    </message>
    <message>
        <source>Вставка символа</source>
        <translation>Insert Symbol</translation>
    </message>
    <message>
        <source>Вставка любого символа из набора всех символов выбранного шрифта</source>
        <translation>Insert any character of the chosen font&apos;s character set</translation>
    </message>
    <message>
        <source>Специальные возможности</source>
        <translation>Special Features</translation>
    </message>
    <message>
        <source>Специальные возможности вывода текста</source>
        <translation>Special text features: full stops and line effects</translation>
    </message>
    <message>
        <source> Специальные эффекты</source>
        <translation> Special effects</translation>
    </message>
    <message>
        <source>&amp;Передать текст через порт</source>
        <translation>&amp;Send Text Through Port</translation>
    </message>
    <message>
        <source>Передача данных через последовательный порт компьютера.</source>
        <translation>Send the data through the computer&apos;s serial port.</translation>
    </message>
    <message>
        <source> Передать через порт</source>
        <translation> Send through port</translation>
    </message>
    <message>
        <source>Настройки COM порта</source>
        <translation>COM Port Settings</translation>
    </message>
    <message>
        <source>Настройки последовательного порта компьютера</source>
        <translation>Settings of the computer&apos;s serial port</translation>
    </message>
    <message>
        <source> Настройки COM порта</source>
        <translation> COM port settings</translation>
    </message>
    <message>
        <source>Настройки работы устройства</source>
        <translation>Device Settings</translation>
    </message>
    <message>
        <source>Настройки устройства</source>
        <translation>Device settings</translation>
    </message>
    <message>
        <source>Настройки текстового редактора</source>
        <translation>Text Editor Settings</translation>
    </message>
    <message>
        <source>Настройки шрифтов и текста в редакторе</source>
        <translation>Settings of the fonts and the text in the editor</translation>
    </message>
    <message>
        <source>Разделы справки</source>
        <translation>Help Topics</translation>
    </message>
    <message>
        <source>&amp;О программе...</source>
        <translation>&amp;About...</translation>
    </message>
    <message>
        <source>Отображает информацию о программе, версию, авторские права.</source>
        <translation>Shows the program&apos;s information, version and copyright.</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>&amp;Правка</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Вид</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Действия</source>
        <translation>Actions</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Параметр i</source>
        <translation>Parameter i</translation>
    </message>
    <message>
        <source>Параметр v</source>
        <translation>Parameter v</translation>
    </message>
    <message>
        <source>Масштаб</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>Передать текст на несколько табло…</source>
        <translation>Send Text to Several Displays…</translation>
    </message>
    <message>
        <source>Передача сообщения сразу на несколько табло из списка.</source>
        <translation>Send the message to several displays of the list at once.</translation>
    </message>
    <message>
        <source> Передать на несколько табло</source>
        <translation> Send to several displays</translation>
    </message>
    <message>
        <source>Список табло…</source>
        <translation>Display List…</translation>
    </message>
    <message>
        <source>Табло по именам: порт и настройки линии каждого.</source>
        <translation>Named displays: the port and line settings of each.</translation>
    </message>
    <message>
        <source>Список табло</source>
        <translation>Display list</translation>
    </message>
    <message>
        <source>Журнал передач</source>
        <translation>Transfer Journal</translation>
    </message>
    <message>
        <source>Когда, куда и с каким итогом передавались сообщения.</source>
        <translation>When and where messages were sent, and with what result.</translation>
    </message>
</context>
<context>
    <name>DeviceFrames</name>
    <message>
        <source>Устройство может показывать не более 127 изображений. Отключите показ лишних изображений.</source>
        <translation>The device shows at most 127 pictures. Turn off showing the pictures that are too many.</translation>
    </message>
</context>
<context>
    <name>MessageMarkup</name>
    <message>
        <source>фигурная скобка не закрыта (сама скобка пишется как «{{»)</source>
        <translation>a brace is not closed (a brace itself is written as “{{”)</translation>
    </message>
    <message>
        <source>в коде «%1» после x нужны две шестнадцатеричные цифры</source>
        <translation>in the code “%1” x needs two hexadecimal digits</translation>
    </message>
    <message>
        <source>неизвестный код «%1»</source>
        <translation>unknown code “%1”</translation>
    </message>
    <message>
        <source>в коде «%1» после буквы нужна одна цифра</source>
        <translation>in the code “%1” the letter needs one digit</translation>
    </message>
    <message>
        <source>в коде «%1» допустима цифра от %2 до %3</source>
        <translation>in the code “%1” the digit must be from %2 to %3</translation>
    </message>
    <message>
        <source>символа «%1» (%2) нет в кодировке Windows-1251: табло его не покажет</source>
        <translation>the character “%1” (%2) is not in Windows-1251: the display will not show it</translation>
    </message>
    <message>
        <source>символ «%1» (%2) табло покажет как символ устройства %3; если он и нужен, напишите %3</source>
        <translation>the display shows the character “%1” (%2) as the device symbol %3; if that is what you want, write %3</translation>
    </message>
    <message>
        <source>управляющий символ %1 табло не покажет; если байт и нужен, напишите %2</source>
        <translation>the display will not show the control character %1; if you do need that byte, write %2</translation>
    </message>
    <message>
        <source>строка %1, позиция %2: %3</source>
        <translation>line %1, column %2: %3</translation>
    </message>
</context>
<context>
    <name>StreamCheck</name>
    <message>
        <source>байт 0D табло примет за конец кадра</source>
        <translation>the display takes byte 0D for the end of the frame</translation>
    </message>
    <message>
        <source>у кода %1 нет параметра: сообщение на нем кончается, и табло возьмет параметром конец кадра</source>
        <translation>the code %1 has no parameter: the message ends on it, and the display would take the end of the frame as its parameter</translation>
    </message>
</context>
<context>
    <name>SystemErrorText</name>
    <message>
        <source>Нет такого файла или каталога</source>
        <translation>No such file or directory</translation>
    </message>
    <message>
        <source>Отказано в доступе</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>Операция не позволена</source>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <source>Это каталог</source>
        <translation>Is a directory</translation>
    </message>
    <message>
        <source>Это не каталог</source>
        <translation>Not a directory</translation>
    </message>
    <message>
        <source>На устройстве не осталось свободного места</source>
        <translation>No space left on device</translation>
    </message>
    <message>
        <source>Файловая система доступна только для чтения</source>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <source>Ошибка ввода/вывода</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>Слишком длинное имя файла</source>
        <translation>File name too long</translation>
    </message>
    <message>
        <source>Устройство или ресурс занято</source>
        <translation>Device or resource busy</translation>
    </message>
    <message>
        <source>Слишком много открытых файлов</source>
        <translation>Too many open files</translation>
    </message>
</context>
<context>
    <name>UiLanguage</name>
    <message>
        <source>tavrix-editor: неизвестный язык «%1»: ru или en.</source>
        <translation>tavrix-editor: unknown language “%1”: ru or en.</translation>
    </message>
</context>
</TS>
