#pragma once

#include <functional>
#include <QObject>
#include <QTimer>

// Runs a routine a few times after the last of a burst of events: 250 ms,
// 1 s and 3 s after it. A window manager's frame extents reach the toolkit
// after the geometry events of a restore and change the outer rectangle
// without an event of their own, so the placement is stored again while the
// window settles.
class CSettleTimer final : public QObject {
public:
    CSettleTimer(std::function<void()> routine, QObject* parent);

    // Starts the runs afresh after an event.
    void Restart();

private:
    void Run();

    std::function<void()> mRoutine;
    QTimer mTimer;
    int mRuns = 0;
};
