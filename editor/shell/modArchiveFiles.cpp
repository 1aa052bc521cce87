#include "editor/shell/modArchiveFiles.h"

#include "editor/shell/modLike.h"

#include <dirent.h>
#include <functional>
#include <memory>
#include <QFile>
#include <sys/stat.h>

namespace ArchiveFiles {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// Calls visit with each regular, visible file name until it returns false.
void ForEachArchive(const QString& dataFolder, const std::function<bool(const QString&)>& visit)
{
    const QByteArray folder = QFile::encodeName(dataFolder);
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.constData()));
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        struct stat info {};
        const QByteArray path = folder + '/' + entry->d_name;
        if (lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (!visit(QFile::decodeName(entry->d_name)))
            return;
    }
}

} // namespace

QString PathOf(const QString& appPath)
{
    return appPath + QStringLiteral("/data");
}

bool IsSafeName(const QString& name)
{
    // A leading "." would make a hidden file that is never listed, and the
    // archive object takes the part after the last "\\" as the name.
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') &&
           !name.contains(u'\\') && !name.contains(QChar(0));
}

bool HasArchive(const QString& dataFolder, const QString& name)
{
    if (!IsSafeName(name))
        return false;
    bool found = false;
    ForEachArchive(dataFolder, [&](const QString& file) {
        found = MatchesPattern(file, name, Qt::CaseInsensitive);
        return !found;
    });
    return found;
}

QString ArchivePath(const QString& dataFolder, const QString& name)
{
    if (!IsSafeName(name))
        return {};
    QString chosen;
    int caseMatches = 0;
    ForEachArchive(dataFolder, [&](const QString& file) {
        if (file == name) {
            chosen = file;
            caseMatches = 1;
            return false;
        }
        if (file.compare(name, Qt::CaseInsensitive) == 0) {
            chosen = file;
            ++caseMatches;
        }
        return true;
    });
    return dataFolder + u'/' + (caseMatches == 1 ? chosen : name);
}

QStringList List(const QString& dataFolder)
{
    QStringList names;
    ForEachArchive(dataFolder, [&](const QString& file) {
        names.append(file);
        return true;
    });
    return names;
}

} // namespace ArchiveFiles
