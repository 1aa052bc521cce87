#include "sheet/model/Presentation.h"

#include "desktop/ShellExecute.h"
#include "sheet/io/WorkbookFiles.h"
#include "sheet/process/DesktopQuery.h"
#include "sheet/process/SheetLogging.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zrv::sheet {

namespace {

constexpr std::chrono::milliseconds kQueryWait{5000};
constexpr int kMaxBookNumber = 100000;

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A name in use, also by a link that points nowhere.
bool Taken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The user's documents folder. A relative one is not valid by the XDG rule:
// the home folder's default stands in for it.
QString DocumentsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || QDir::isAbsolutePath(folder))
        return folder;
    const QString fallback = QDir::homePath() + QStringLiteral("/Documents");
    qCWarning(lcSheet).noquote() << "the documents folder" << folder
                                 << "is not an absolute path; using" << fallback;
    return fallback;
}

std::string AssociatedProgram()
{
    const std::optional<std::string> output =
        CommandOutput("xdg-mime", {"query", "default", kXlsxMimeType}, kQueryWait);
    return output ? QString::fromLocal8Bit(*output).trimmed().toStdString() : std::string();
}

} // namespace

std::string CannotShowReason()
{
    if (!HasDisplay())
        return "No display is available to show workbooks (DISPLAY and WAYLAND_DISPLAY are not "
               "set).";
    if (AssociatedProgram().empty())
        return "No program is associated with xlsx workbooks (xdg-mime query default " +
               std::string(kXlsxMimeType) + " names none).";
    return {};
}

bool ShowWorkbook(const WorkbookData& workbook, std::string& shownFile, std::string& error)
{
    const QString folder = DocumentsFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        error = "the documents folder '" + folder.toStdString() + "' cannot be created";
        return false;
    }
    const QDir documents(folder);
    for (int n = 1; n <= kMaxBookNumber; ++n) {
        const QString path = documents.filePath(QStringLiteral("Book%1.xlsx").arg(n));
        if (Taken(path))
            continue;
        const std::string file = QFile::encodeName(path).toStdString();
        if (!WriteXlsxFile(workbook, file, error)) {
            if (Taken(path))
                continue; // taken meanwhile by someone else
            return false;
        }
        shownFile = file;
        const desktop::HINSTANCE opened =
            desktop::ShellExecuteA(0, "open", file.c_str(), nullptr,
                                   QFile::encodeName(folder).constData(), desktop::SW_SHOWNORMAL);
        if (opened <= 32) {
            error = "the desktop did not open " + file + " (shell result " +
                    std::to_string(opened) + ")";
            return false;
        }
        return true;
    }
    error = "every name Book1.xlsx to Book" + std::to_string(kMaxBookNumber) + ".xlsx is taken";
    return false;
}

} // namespace zrv::sheet
