#include "shell/KnownFolders.h"

#include <QDir>
#include <QStandardPaths>
#include <array>

namespace tintwell {

namespace {

struct KnownFolder {
    const char* guid;
    QStandardPaths::StandardLocation location;
};

// The shell's known-folder identifiers that have a counterpart here.
constexpr std::array<KnownFolder, 12> kKnownFolders{{
    {"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}", QStandardPaths::DesktopLocation},
    {"{FDD39AD0-238F-46AF-ADB4-6C85480369C7}", QStandardPaths::DocumentsLocation},
    {"{374DE290-123F-4565-9164-39C4925E467B}", QStandardPaths::DownloadLocation},
    {"{4BD8D571-6D19-48D3-BE97-422220080E43}", QStandardPaths::MusicLocation},
    {"{33E28130-4E1E-4676-835A-98395C3BC3BB}", QStandardPaths::PicturesLocation},
    {"{18989B1D-99B5-455B-841C-AB7C74E4DDFC}", QStandardPaths::MoviesLocation},
    {"{5E6C858F-0E22-4760-9AFE-EA3317B67173}", QStandardPaths::HomeLocation},
    {"{F1B32785-6FBA-4FCF-9D55-7B8E7F157091}", QStandardPaths::GenericDataLocation},
    {"{3EB685DB-65F9-4CF6-A03A-E3EF65729F3D}", QStandardPaths::GenericConfigLocation},
    {"{FD228CB7-AE11-4AE3-864C-16F3910AB8FE}", QStandardPaths::FontsLocation},
    {"{625B53C3-AB48-4EC1-BA1F-A1EF4146FC19}", QStandardPaths::ApplicationsLocation},
    {"{352481E8-33BE-4251-BA85-6007CAEDCF9D}", QStandardPaths::CacheLocation},
}};

// FOLDERID_ComputerFolder: the root of the file system here.
constexpr const char* kComputerFolder = "{0AC0837C-BBF8-452A-850D-79D08E667CA7}";

bool IsHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

}  // namespace

bool IsGuidText(const QString& text) {
    if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return false;
    for (int i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != u'-' : !IsHex(text[i])) return false;
    }
    return true;
}

QString KnownFolderPath(const QString& guid) {
    if (!IsGuidText(guid)) return {};
    if (guid.compare(QLatin1String(kComputerFolder), Qt::CaseInsensitive) == 0) {
        return QDir::rootPath();
    }
    for (const KnownFolder& known : kKnownFolders) {
        if (guid.compare(QLatin1String(known.guid), Qt::CaseInsensitive) == 0) {
            return QStandardPaths::writableLocation(known.location);
        }
    }
    return {};
}

}  // namespace tintwell
