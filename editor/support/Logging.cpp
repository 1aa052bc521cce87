#include "editor/support/Logging.h"

#include "editor/support/EditorError.h"

Q_LOGGING_CATEGORY(lcEditor, "zrv.editor", QtInfoMsg)

QString DescribeFailure(const std::exception& failure)
{
    if (const auto* error = dynamic_cast<const EditorError*>(&failure))
        return error->Source() + QStringLiteral(": ") + error->Description();
    return QString::fromLocal8Bit(failure.what());
}

QString DescribeFailure(const EditorError& error)
{
    // Automation results read best in hex, the editor's own numbers in decimal.
    const QString number =
        error.Number() < 0
            ? QStringLiteral("0x") +
                  QString::number(static_cast<uint32_t>(error.Number()), 16).toUpper()
            : QString::number(error.Number());
    return QStringLiteral("error %1 (%2): %3").arg(number, error.Source(), error.Description());
}
