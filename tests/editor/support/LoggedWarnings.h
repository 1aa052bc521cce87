#pragma once

#include <QStringList>
#include <QtGlobal>

namespace zrv::test {

// Collects the warnings logged while it lives, as "category: text".
class LoggedWarnings final {
public:
    LoggedWarnings()
    {
        Lines().clear();
        mPrevious = qInstallMessageHandler(&Collect);
    }
    ~LoggedWarnings() { qInstallMessageHandler(mPrevious); }
    LoggedWarnings(const LoggedWarnings&) = delete;
    LoggedWarnings& operator=(const LoggedWarnings&) = delete;

    static QStringList& Lines()
    {
        static QStringList lines;
        return lines;
    }

private:
    static void Collect(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type == QtWarningMsg)
            Lines().append(QString::fromLatin1(context.category) + QStringLiteral(": ") + text);
    }

    QtMessageHandler mPrevious = nullptr;
};

} // namespace zrv::test
