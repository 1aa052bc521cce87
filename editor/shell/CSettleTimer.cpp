#include "editor/shell/CSettleTimer.h"

#include <array>
#include <utility>

namespace {

// After the last event, in milliseconds.
constexpr std::array kSettleDelays{250, 1000, 3000};

} // namespace

CSettleTimer::CSettleTimer(std::function<void()> routine, QObject* parent)
    : QObject(parent), mRoutine(std::move(routine))
{
    mTimer.setSingleShot(true);
    connect(&mTimer, &QTimer::timeout, this, &CSettleTimer::Run);
}

void CSettleTimer::Restart()
{
    mRuns = 0;
    mTimer.start(kSettleDelays[0]);
}

void CSettleTimer::Run()
{
    mRoutine();
    if (++mRuns < static_cast<int>(kSettleDelays.size()))
        mTimer.start(kSettleDelays[static_cast<std::size_t>(mRuns)]);
}
