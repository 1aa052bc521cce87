#pragma once

#include <QString>

// The data folder, where every archive is a plain file named by the user.
// Only whole-file work happens here (reserving a new name, copying,
// deleting); archive contents are reached through CArchiveObject alone. Names are
// bare file names already checked to be safe.
class CArchiveFolder final {
public:
    enum class Outcome { Done, NameTaken, Failed };

    explicit CArchiveFolder(QString vsFolder);

    const QString& Folder() const { return msFolder; }
    QString PathOf(const QString& vsName) const;

    // Creates the archive file empty, failing with NameTaken when anything
    // exists under that name already; never opens an existing file.
    Outcome ReserveArchive(const QString& vsName) const;

    // Copies the source archive byte for byte to a hidden temporary file and
    // moves that into place only when the target name is still free. On any
    // failure nothing is left under the target name or the temporary one.
    Outcome CopyArchive(const QString& vsSource, const QString& vsTarget) const;

    // Removes exactly the named file; no pattern is expanded.
    bool DeleteArchive(const QString& vsName) const;

private:
    QString msFolder;
};
