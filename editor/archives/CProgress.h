#pragma once

#include <memory>
#include <QElapsedTimer>
#include <QString>

class QProgressDialog;
class QWidget;

// Progress of a long piece of work done on the window's thread. The dialog
// appears once the work has run for about a second and then lets the window
// system repaint every few hundredths of a second; it is application modal,
// so no other command can start meanwhile. A maximum of 0 shows no count.
class CProgress final {
public:
    CProgress(QWidget* owner, const QString& vsLabel, int vlMaximum);
    ~CProgress();
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    // Reports the work done so far; false once the user pressed Cancel.
    bool Step(int vlDone);
    bool Shown() const { return mbShown; }

private:
    std::unique_ptr<QProgressDialog> mDialog;
    QElapsedTimer mSinceStart;
    QElapsedTimer mSinceUpdate;
    bool mbShown = false;
};
