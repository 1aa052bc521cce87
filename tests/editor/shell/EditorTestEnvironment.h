#pragma once

#include <memory>
#include <optional>
#include <QString>
#include <QStringList>

class frmMain;

namespace zrv::test {

// Writes an archive file as the archive format lays it out: the header, then
// each fortune after a line holding only "%".
void WriteArchive(const QString& path, const QString& header, const QStringList& fortunes);

// The editor's settings in the test's user hive.
void WriteSetting(const QString& name, const QString& value);
std::optional<QString> StoredSetting(const QString& name);

// A private installation for editor tests: an editor folder (with the player
// program beside it unless told otherwise), a player folder registered as the
// player's uninstall entry, and the Fortune component registered.
class EditorTestEnvironment final {
public:
    explicit EditorTestEnvironment(bool withPlayer = true);
    ~EditorTestEnvironment();
    EditorTestEnvironment(const EditorTestEnvironment&) = delete;
    EditorTestEnvironment& operator=(const EditorTestEnvironment&) = delete;

    const QString& EditorFolder() const { return mEditorFolder; }
    const QString& PlayerFolder() const { return mPlayerFolder; }
    QString DataFolder() const { return mPlayerFolder + QStringLiteral("/data"); }
    QString ArchivePath(const QString& name) const { return DataFolder() + u'/' + name; }

    // A started main window, as the program entry leaves it.
    std::unique_ptr<frmMain> StartEditor() const;

    static void RegisterComponent();
    static void DeleteSettings();

private:
    QString mEditorFolder;
    QString mPlayerFolder;
};

} // namespace zrv::test
