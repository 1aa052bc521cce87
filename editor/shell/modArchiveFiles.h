#pragma once

#include <QString>
#include <QStringList>

// Archives are the regular, visible files of the data folder (symbolic links
// are not followed, so no archive name leads outside it). A name that
// starts with "." or holds "/", "\" or NUL never names one of them.
namespace ArchiveFiles {

// AppPath + "/data".
QString PathOf(const QString& appPath);
bool IsSafeName(const QString& name);
// True when a regular, non-hidden file of the folder matches name, taken as
// a pattern of "*" and "?" (letters compared without regard to case).
bool HasArchive(const QString& dataFolder, const QString& name);
// Full path of the archive name: the file of exactly that name when there is
// one, else the one file whose name differs only in letter case, else the
// name as given. Empty for an unsafe name.
QString ArchivePath(const QString& dataFolder, const QString& name);
// Names of the archives in the folder's enumeration order.
QStringList List(const QString& dataFolder);

} // namespace ArchiveFiles
