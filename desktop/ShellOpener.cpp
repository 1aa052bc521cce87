#include "desktop/ShellOpener.h"

#include "desktop/Logging.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace zrv::desktop {

namespace {

bool IsWebAddress(const QString& target)
{
    // A scheme of two letters or more: "C:" would be a drive.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

HINSTANCE FromStartError(int error)
{
    switch (error) {
    case ENOENT:
        return SE_ERR_FNF;
    case ENOTDIR:
        return SE_ERR_PNF;
    case EACCES:
    case EPERM:
        return SE_ERR_ACCESSDENIED;
    case ENOMEM:
    case EAGAIN:
        return SE_ERR_OOM;
    case ENOEXEC:
        return SE_ERR_BAD_FORMAT;
    default:
        return SE_ERR_OOM_ZERO;
    }
}

// xdg-open: 0 done, 1 bad syntax, 2 file missing, 3 no tool, 4 action failed.
HINSTANCE FromOpenerExit(int exitCode)
{
    switch (exitCode) {
    case 0:
        return kShellSuccess;
    case 2:
        return SE_ERR_FNF;
    default:
        return SE_ERR_NOASSOC;
    }
}

bool IsKnownVerb(const QString& verb)
{
    return verb.isEmpty() || verb.compare(QLatin1String("open"), Qt::CaseInsensitive) == 0 ||
           verb.compare(QLatin1String("explore"), Qt::CaseInsensitive) == 0;
}

QString Resolve(const QString& file, const QString& directory)
{
    if (QDir::isAbsolutePath(file))
        return QDir::cleanPath(file);
    const QString base = directory.isEmpty() ? QDir::currentPath() : directory;
    return QDir::cleanPath(base + u'/' + file);
}

} // namespace

ShellOpener::ShellOpener(IProcessLauncher& launcher) : m_launcher(launcher) {}

// Callers know only the result: an exception ends as "out of memory or
// resources", and its message goes to the log.
HINSTANCE ShellOpener::Execute(const ShellRequest& request)
{
    try {
        return Carry(request);
    } catch (const std::exception& error) {
        qCWarning(lcDesktop).nospace().noquote()
            << "opening " << request.file << " failed: " << error.what();
    } catch (...) {
        qCWarning(lcDesktop).nospace().noquote()
            << "opening " << request.file << " failed: unknown exception";
    }
    return SE_ERR_OOM_ZERO;
}

HINSTANCE ShellOpener::Carry(const ShellRequest& request)
{
    if (request.file.isEmpty())
        return SE_ERR_FNF;
    if (!IsKnownVerb(request.verb))
        return SE_ERR_NOASSOC;
    if (IsWebAddress(request.file))
        return OpenWithDesktop(request.file);
    if (!request.directory.isEmpty() && !QFileInfo(request.directory).isDir())
        return SE_ERR_PNF;

    const QFileInfo target(Resolve(request.file, request.directory));
    if (!target.exists()) {
        // A bare program name is looked up in PATH, as the shell looks it up.
        if (!request.file.contains(u'/')) {
            const QString program = QStandardPaths::findExecutable(request.file);
            if (!program.isEmpty())
                return StartProgram(program, request);
        }
        return QFileInfo(target.absolutePath()).isDir() ? SE_ERR_FNF : SE_ERR_PNF;
    }
    if (target.isDir())
        return OpenWithDesktop(target.absoluteFilePath());
    if (target.isFile() && target.isExecutable())
        return StartProgram(target.absoluteFilePath(), request);
    if (!target.isReadable())
        return SE_ERR_ACCESSDENIED;
    return OpenWithDesktop(target.absoluteFilePath());
}

HINSTANCE ShellOpener::OpenWithDesktop(const QString& target)
{
    const LaunchResult result =
        m_launcher.Start(QStringLiteral("xdg-open"), {target}, {}, kOpenerWait);
    if (result.error != 0) {
        qCWarning(lcDesktop).nospace()
            << "xdg-open " << target << " cannot start: " << std::strerror(result.error);
        // No opener installed: nothing is associated.
        return result.error == ENOENT ? SE_ERR_NOASSOC : FromStartError(result.error);
    }
    if (result.exitCode && *result.exitCode != 0)
        qCWarning(lcDesktop).nospace()
            << "xdg-open " << target << " failed with exit code " << *result.exitCode;
    return result.exitCode ? FromOpenerExit(*result.exitCode) : kShellSuccess;
}

HINSTANCE ShellOpener::StartProgram(const QString& program, const ShellRequest& request)
{
    const LaunchResult result =
        m_launcher.Start(program, QProcess::splitCommand(request.parameters), request.directory,
                         std::chrono::milliseconds(0));
    if (result.error != 0) {
        qCWarning(lcDesktop).nospace()
            << program << " cannot start: " << std::strerror(result.error);
        return FromStartError(result.error);
    }
    return kShellSuccess;
}

} // namespace zrv::desktop
