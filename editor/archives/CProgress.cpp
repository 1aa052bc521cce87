#include "editor/archives/CProgress.h"

#include <algorithm>
#include <QCoreApplication>
#include <QProgressDialog>

namespace {

// How long work may run before the dialog shows, and how often it repaints.
constexpr int kShowAfterMs = 1000;
constexpr int kUpdateEveryMs = 40;

} // namespace

CProgress::CProgress(QWidget* owner, const QString& vsLabel, int vlMaximum)
    : mDialog(std::make_unique<QProgressDialog>(vsLabel, QStringLiteral("Cancel"), 0,
                                                std::max(vlMaximum, 0), owner))
{
    mDialog->setObjectName(QStringLiteral("frmProgress"));
    mDialog->setWindowTitle(QCoreApplication::applicationName());
    mDialog->setWindowModality(Qt::ApplicationModal);
    mDialog->setMinimumDuration(kShowAfterMs);
    mDialog->setAutoClose(false);
    mDialog->setAutoReset(false);
    mSinceStart.start();
    mSinceUpdate.start();
}

CProgress::~CProgress() = default;

bool CProgress::Step(int vlDone)
{
    if (!mbShown) {
        if (mSinceStart.elapsed() < kShowAfterMs)
            return true;
        mbShown = true;
        mDialog->show();
    } else if (mSinceUpdate.elapsed() < kUpdateEveryMs) {
        return !mDialog->wasCanceled();
    }
    mSinceUpdate.restart();
    if (mDialog->maximum() > 0)
        mDialog->setValue(std::min(vlDone, mDialog->maximum()));
    QCoreApplication::processEvents();
    return !mDialog->wasCanceled();
}
