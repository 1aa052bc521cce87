#include "editor/support/modShellEx.h"

#include "desktop/ShellExecute.h"
#include "editor/support/Logging.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace zrv::desktop;

namespace {

// Base of the numbers of shell failures that have no number of their own.
constexpr int64_t kShellErrorBase = 0x80040418;

struct ShellFailureRow {
    HINSTANCE result;
    int64_t number; // 0: kShellErrorBase + result
    const char* message;
};

constexpr ShellFailureRow kFailures[] = {
    {0, 7, "Out of memory"},
    {2, 53, "File not found"},
    {3, 76, "Path not found"},
    {5, 75, "Path/file access error"},
    {8, 7, "Out of memory"},
    {11, 0, "The executable file is invalid or corrupt"},
    {26, 75, "A sharing violation occurred."},
    {27, 0, "This file type does not have a valid file association."},
    {28, 286, "The file could not be opened due to time out. Please try again in a moment."},
    {29, 285,
     "The file could not be opened because the DDE transaction failed. Please try again in a "
     "moment."},
    {30, 285,
     "The file could not be opened because the target application is busy. Please try again in a "
     "moment."},
    {31, 0, "No application is associated with this file type."},
    {32, 48, "The specified dynamic-link library was not found."},
};

constexpr const char* kGeneralFailure =
    "An error occurred occurred whilst trying to open or print the selected file.";

QString ShellSource()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
           QStringLiteral(".GShell");
}

} // namespace

bool IsShellFailure(HINSTANCE r)
{
    return r >= 0 && r <= 32;
}

EditorError ShellFailure(HINSTANCE r)
{
    int64_t number = kShellErrorBase + r;
    const char* message = kGeneralFailure;
    for (const ShellFailureRow& row : kFailures) {
        if (row.result == r) {
            if (row.number != 0)
                number = row.number;
            message = row.message;
            break;
        }
    }
    return EditorError(static_cast<int32_t>(static_cast<uint32_t>(number)), ShellSource(),
                       QString::fromLatin1(message));
}

bool OpenWithShell(const QString& target, int32_t showMode, const QString& parameters,
                   const QString& directory, const QString& verb, HWND owner,
                   std::optional<EditorError>* rError)
{
    if (target.toUpper().contains(QStringLiteral(".EXE")))
        showMode = SW_HIDE;
    if (parameters.isEmpty() && directory.isEmpty())
        showMode = SW_SHOWNORMAL;
    const QByteArray file = target.toLocal8Bit();
    const QByteArray params = parameters.toLocal8Bit();
    const QByteArray dir = directory.toLocal8Bit();
    const QByteArray operation = verb.toLocal8Bit();
    HINSTANCE r = 0;
    try {
        r = reinterpret_cast<intptr_t>(ShellExecuteA(owner, operation.constData(), file.constData(),
                                                     params.constData(), dir.constData(),
                                                     showMode));
    } catch (...) {
        r = 0;
    }
    if (!IsShellFailure(r))
        return true;
    const EditorError failure = ShellFailure(r);
    // Callers pass a failed link over; the log says what it was.
    qCWarning(lcEditor).noquote() << "opening" << target << "failed:" << DescribeFailure(failure);
    if (rError)
        rError->emplace(failure);
    return false;
}
