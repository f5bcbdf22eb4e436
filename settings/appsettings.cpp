#include "settings/appsettings.h"

#include "settings/cp1251.h"
#include "settings/prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <limits>
#include <optional>

const QString AppSettings::kIniFileName = QStringLiteral("Tavrix Editor.ini");
const QString AppSettings::kFontPlaceholder = QStringLiteral("  -------------------- ");
const QString AppSettings::kProfileOrganization =
    QStringLiteral("Local AppWizard-Generated Applications");
const QString AppSettings::kProfileApplication = QStringLiteral("Tavrix Editor");

namespace
{

const QString kYes = QStringLiteral("Да");
const QString kNo = QStringLiteral("Нет");

QString AskCreateMissing()
{
    return QCoreApplication::translate(
        "AppSettings", "Не удается открыть или не был создан файл настроек программы. \n"
                       "Создать новый файл настроек с настройками по умолчанию?");
}

QString AskCreateMalformed()
{
    return QCoreApplication::translate("AppSettings",
                                       "Неправильный формат файла настроек программы. \n"
                                       "Создать новый файл настроек с настройками по умолчанию?");
}

// The "c" of "cоздать" is a Latin letter, as the program has always shown it.
QString CannotCreate()
{
    return QCoreApplication::translate("AppSettings",
                                       "Не удается cоздать файл настроек программы.");
}

QString NoPictureNames()
{
    return QCoreApplication::translate(
        "AppSettings", "Не удается прочесть список изображений устройства из файла инициализации.");
}

constexpr char kBanner[] =
    "//************************ TAVRIX EDITOR INI FILE ************************//\r\n";
constexpr char kEndBanner[] =
    "//************************  END OF INI FILE ************************//";

enum Section { Com, MaxSym, Fonts, Images, Uses, Numbers, Times, Greeting, DemoPic, DemoStr };
constexpr int kSectionCount = 10;
constexpr const char* kSectionNames[kSectionCount] = {
    "COM",     "MAXSYM", "FONTS",    "IMAGES",  "USES",
    "NUMBERS", "TIMES",  "GREETING", "DEMOPIC", "DEMOSTR",
};
using SectionValues = std::array<QString, kSectionCount>;

QByteArray StartMarker(int section)
{
    return QByteArray(kSectionNames[section]) + ":\r\n";
}

QByteArray EndMarker(int section)
{
    return "\r\nEND" + QByteArray(kSectionNames[section]) + "\r\n";
}

// A value that, written between its markers, would make the reader find a marker in the wrong
// place: a line break, a whole end-marker name, or a section name and colon at its end. Every value
// read is checked against every name, so no string is built for it.
bool BreaksFile(QStringView value)
{
    if (value.contains(u'\r') || value.contains(u'\n'))
        return true;
    const bool endName = value.startsWith(u"END");
    const bool colonEnd = value.endsWith(u':');
    for (const char* name : kSectionNames) {
        const QLatin1StringView section(name);
        if ((endName && value.sliced(3) == section) ||
            (colonEnd && value.chopped(1).endsWith(section)))
            return true;
    }
    return false;
}

// The values of all ten sections, or nothing when a marker is missing or an end marker does not
// follow its start marker. Sections may stand in any order, with anything between them.
std::optional<SectionValues> SplitSections(const QByteArray& text)
{
    SectionValues values;
    for (int section = 0; section < kSectionCount; ++section) {
        const QByteArray start = StartMarker(section);
        const qsizetype startPos = text.indexOf(start);
        const qsizetype endPos = text.indexOf(EndMarker(section));
        if (startPos < 0 || endPos < 0)
            return std::nullopt;
        const qsizetype valuePos = startPos + start.size();
        if (endPos < valuePos)
            return std::nullopt;
        values[section] =
            Cp1251::ToUnicode(QByteArrayView(text).sliced(valuePos, endPos - valuePos));
    }
    return values;
}

// White space as the C library's scanf sees it in the "C" locale.
bool IsScanSpace(QChar ch)
{
    return ch == u' ' || (ch >= u'\t' && ch <= u'\r');
}

bool IsDecimalDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

void SkipSpace(QStringView text, qsizetype& pos)
{
    while (pos < text.size() && IsScanSpace(text[pos]))
        ++pos;
}

// scanf's "%d": leading white space, an optional sign, then digits up to the first non-digit.
// Values beyond the range of int saturate instead of overflowing.
std::optional<int> ScanInt(QStringView text, qsizetype& pos)
{
    SkipSpace(text, pos);
    qsizetype p = pos;
    bool negative = false;
    if (p < text.size() && (text[p] == u'+' || text[p] == u'-'))
        negative = text[p++] == u'-';
    if (p >= text.size() || !IsDecimalDigit(text[p]))
        return std::nullopt;
    constexpr qint64 kLimit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (; p < text.size() && IsDecimalDigit(text[p]); ++p)
        value = std::min(value * 10 + (text[p].unicode() - u'0'), kLimit);
    pos = p;
    if (negative)
        return int(-value);
    return int(std::min<qint64>(value, std::numeric_limits<int>::max()));
}

// scanf's "%s": leading white space, then everything up to the next white space.
QStringView ScanWord(QStringView text, qsizetype& pos)
{
    SkipSpace(text, pos);
    const qsizetype start = pos;
    while (pos < text.size() && !IsScanSpace(text[pos]))
        ++pos;
    return text.sliced(start, pos - start);
}

// "%s%d%d%d%d". A port name longer than the port can hold, or a missing field, refuses the whole
// value so that the port keeps a configuration it can work with.
std::optional<PortConfig> ScanPortConfig(QStringView text)
{
    qsizetype pos = 0;
    const QStringView name = ScanWord(text, pos);
    if (name.isEmpty() || name.size() > PortConfig::kMaxNameLength)
        return std::nullopt;
    PortConfig config;
    config.portName = name.toString();
    for (int* field :
         {&config.baudIndex, &config.dataBitsIndex, &config.stopBitsIndex, &config.parityIndex}) {
        const std::optional<int> value = ScanInt(text, pos);
        if (!value)
            return std::nullopt;
        *field = *value;
    }
    return config;
}

// A list item read as a number: its leading digits (with sign), or 0.
int LeadingInt(QStringView item)
{
    qsizetype pos = 0;
    return ScanInt(item, pos).value_or(0);
}

// Tab and comma separate items; runs of them count as one and produce no empty items. Blanks
// belong to the items.
QStringList SplitItems(const QString& text)
{
    QStringList items;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\t' && text[i] != u',')
            continue;
        if (i > start)
            items << text.sliced(start, i - start);
        start = i + 1;
    }
    return items;
}

QString PortConfigText(const PortConfig& config)
{
    return config.portName + u' ' + QString::number(config.baudIndex) + u' ' +
           QString::number(config.dataBitsIndex) + u' ' + QString::number(config.stopBitsIndex) +
           u' ' + QString::number(config.parityIndex);
}

// What a section holds before any file is read.
QString DefaultValue(int section)
{
    switch (section) {
    case Com:
        return PortConfigText(PortConfig());
    case MaxSym:
        return QString::number(AppSettings::kDefaultMaxSym);
    case Fonts:
        return QStringLiteral("Arial Bold Decor Dos Elegant Italic Super Thin Times");
    case Images:
        return QStringLiteral("Земля\tПламя\tГерб\tТризуб\tВетка\tЕлка");
    case Uses:
        return QStringLiteral("Да\tДа\tДа\tДа\tДа\tДа");
    case Numbers:
        return QStringLiteral("0\t1\t2\t3\t4\t5");
    case Times:
        return QStringLiteral("5\t5\t5\t5\t5\t5");
    default:
        return kYes;
    }
}

// A value the reader cannot take leaves the setting as it was.
void TakeValue(QString& setting, const QString& value)
{
    if (!BreaksFile(value))
        setting = value;
}

QString YesNo(bool flag)
{
    return flag ? kYes : kNo;
}

bool WriteWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

AppSettings::AppSettings(IPrompt& prompt, const QString& programDir,
                         const std::function<void(AppSettings&)>& afterRead)
    : AppSettings(prompt, ProgramLayout::Portable(programDir), Access::ReadWrite, afterRead)
{
}

AppSettings::AppSettings(IPrompt& prompt, const ProgramLayout& layout, Access access,
                         const std::function<void(AppSettings&)>& afterRead)
    : m_prompt(prompt), m_layout(layout), m_access(access)
{
    m_nMaxSym = kDefaultMaxSym;
    m_strFontDir = m_layout.strFontDir;
    m_strFontNames = DefaultValue(Fonts);
    m_device.m_strImages = DefaultValue(Images);
    m_device.m_strUses = DefaultValue(Uses);
    m_device.m_strNumbers = DefaultValue(Numbers);
    m_device.m_strTimes = DefaultValue(Times);
    m_device.m_strGreeting = DefaultValue(Greeting);
    m_device.m_strDemoPic = DefaultValue(DemoPic);
    m_device.m_strDemoStr = DefaultValue(DemoStr);

    LoadIni();
    if (afterRead)
        afterRead(*this);
    ParsePictureLists();
}

AppSettings::~AppSettings()
{
    if (m_access == Access::ReadWrite)
        CreateIni();
}

QString AppSettings::IniPath() const
{
    return QDir(m_layout.strSettingsDir).absoluteFilePath(kIniFileName);
}

bool AppSettings::LoadIni()
{
    QFile file(IniPath());
    if (!file.open(QIODevice::ReadOnly)) {
        m_iniState = IniState::Missing;
        if (m_access == Access::ReadOnly)
            return false;
        // A file that is there but cannot be read (no permission) is moved aside, not written
        // over: its text cannot be copied, but it must not be lost either.
        m_bMoveUnreadIni = QFileInfo(file).isFile();
        if (!m_prompt.AskYesNo(AskCreateMissing()))
            return false;
        CreateIni();
        return true;
    }
    if (ReadWriteIni(file, false)) {
        m_iniState = IniState::Read;
        return true;
    }
    m_iniState = IniState::Malformed;
    if (m_access == Access::ReadOnly)
        return false;
    file.close();
    m_unreadIni = m_szIniText;
    m_bKeepUnreadIni = true;
    if (!m_prompt.AskYesNo(AskCreateMalformed()))
        return false;
    CreateIni();
    return true;
}

bool AppSettings::CreateIni()
{
    if (!KeepUnreadIni() || !WriteIniFile()) {
        m_prompt.Inform(CannotCreate());
        return false;
    }
    return true;
}

// The settings file is replaced only once the new text is complete on disk, so a failed write
// leaves the old file as it was.
bool AppSettings::WriteIniFile()
{
    // The per-user configuration folder does not exist before the first run; a program folder
    // is never made up.
    if (!m_layout.bPortable)
        QDir().mkpath(m_layout.strSettingsDir);
    QSaveFile file(IniPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!ReadWriteIni(file, true)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// An earlier backup is the user's text too: each one gets the next free name.
QString AppSettings::FreeBackupPath() const
{
    const QString first = IniPath() + QStringLiteral(".bak");
    QString path = first;
    for (int n = 1; QFileInfo::exists(path); ++n)
        path = first + u'.' + QString::number(n);
    return path;
}

// A settings file the program could not read is the user's text all the same: its bytes go to
// "Tavrix Editor.ini.bak" (or the next free ".bak.N") before anything is written over it. Without
// the copy nothing is written.
bool AppSettings::KeepUnreadIni()
{
    if (!m_bMoveUnreadIni && !m_bKeepUnreadIni)
        return true;
    const QString backup = FreeBackupPath();
    if (m_bMoveUnreadIni) {
        if (!QFile::rename(IniPath(), backup))
            return false;
        m_bMoveUnreadIni = false;
    }
    if (!m_bKeepUnreadIni)
        return true;
    if (!WriteWhole(backup, m_unreadIni))
        return false;
    m_bKeepUnreadIni = false;
    m_unreadIni.clear();
    return true;
}

bool AppSettings::ReadWriteIni(QIODevice& file, bool bWrite)
{
    if (bWrite) {
        SectionValues values = {
            PortConfigText(m_port), QString::number(m_nMaxSym), m_strFontNames,
            m_device.m_strImages,   m_device.m_strUses,         m_device.m_strNumbers,
            m_device.m_strTimes,    m_device.m_strGreeting,     m_device.m_strDemoPic,
            m_device.m_strDemoStr,
        };
        // A value the file cannot hold is never written; the section keeps its default instead.
        for (int section = 0; section < kSectionCount; ++section) {
            if (BreaksFile(values[section]))
                values[section] = DefaultValue(section);
        }
        m_szIniText = kBanner;
        for (int section = 0; section < kSectionCount; ++section)
            m_szIniText +=
                StartMarker(section) + Cp1251::FromUnicode(values[section]) + EndMarker(section);
        m_szIniText += kEndBanner;
        return file.write(m_szIniText) == m_szIniText.size();
    }

    m_szIniText = file.readAll();
    const std::optional<SectionValues> values = SplitSections(m_szIniText);
    if (!values)
        return false;
    // A COM or MAXSYM value that cannot be scanned leaves that setting at what it was; the
    // other sections still apply.
    if (const std::optional<PortConfig> config = ScanPortConfig((*values)[Com]))
        m_port = *config;
    qsizetype pos = 0;
    m_nMaxSym = ScanInt((*values)[MaxSym], pos).value_or(m_nMaxSym);
    TakeValue(m_strFontNames, (*values)[Fonts]);
    TakeValue(m_device.m_strImages, (*values)[Images]);
    TakeValue(m_device.m_strUses, (*values)[Uses]);
    TakeValue(m_device.m_strNumbers, (*values)[Numbers]);
    TakeValue(m_device.m_strTimes, (*values)[Times]);
    TakeValue(m_device.m_strGreeting, (*values)[Greeting]);
    TakeValue(m_device.m_strDemoPic, (*values)[DemoPic]);
    TakeValue(m_device.m_strDemoStr, (*values)[DemoStr]);
    return true;
}

bool AppSettings::ParsePictureLists()
{
    const QStringList names = SplitItems(m_device.m_strImages);
    if (names.isEmpty()) {
        m_prompt.Inform(NoPictureNames());
        return false;
    }
    const QStringList uses = SplitItems(m_device.m_strUses);
    const QStringList numbers = SplitItems(m_device.m_strNumbers);
    const QStringList times = SplitItems(m_device.m_strTimes);

    // Lists shorter than the names leave the remaining pictures as new entries.
    std::vector<PictureEntry> pictures(names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        const PictureEntry blank;
        pictures[i].Set(i < uses.size() ? uses[i] == kYes : blank.bShown, names[i],
                        i < numbers.size() ? LeadingInt(numbers[i]) : blank.nNumber,
                        i < times.size() ? LeadingInt(times[i]) : blank.nDuration);
    }
    m_device.m_bGreeting = m_device.m_strGreeting == kYes;
    m_device.m_bDemoPictures = m_device.m_strDemoPic == kYes;
    m_device.m_bDemoString = m_device.m_strDemoStr == kYes;
    m_device.m_pPictures = std::move(pictures);
    m_device.m_nPictureCount = int(m_device.m_pPictures.size());
    return true;
}

bool AppSettings::BuildPictureLists()
{
    DeviceServiceSettings& d = m_device;
    d.m_strImages.clear();
    d.m_strUses.clear();
    d.m_strNumbers.clear();
    d.m_strTimes.clear();
    for (const PictureEntry& picture : d.m_pPictures) {
        d.m_strImages += picture.strName + u'\t';
        d.m_strUses += YesNo(picture.bShown) + u'\t';
        d.m_strNumbers += QString::number(picture.nNumber) + u'\t';
        d.m_strTimes += QString::number(picture.nDuration) + u'\t';
    }
    d.m_strGreeting = YesNo(d.m_bGreeting);
    d.m_strDemoPic = YesNo(d.m_bDemoPictures);
    d.m_strDemoStr = YesNo(d.m_bDemoString);
    return true;
}
