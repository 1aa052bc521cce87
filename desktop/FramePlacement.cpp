#include "desktop/FramePlacement.h"

#include "desktop/Logging.h"

#include <optional>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace zrv::desktop {

namespace {

// Carries a placement asked for before the frame was known until it is;
// lives as a child of its window.
class CPendingPlacement final : public QObject {
public:
    explicit CPendingPlacement(QWidget& window) : QObject(&window), mWindow(window)
    {
        setObjectName(QStringLiteral("zrvPendingPlacement"));
        mWindow.installEventFilter(this);
        WatchWindowHandle();
    }

    static CPendingPlacement& Of(QWidget& window)
    {
        auto* pending = window.findChild<CPendingPlacement*>(QStringLiteral("zrvPendingPlacement"),
                                                             Qt::FindDirectChildrenOnly);
        return pending ? *pending : *new CPendingPlacement(window);
    }

    void SetOuterSize(QSize outer)
    {
        mOuterSize = outer;
        Apply(false);
    }

    void SetPosition(std::function<QPoint(QSize)> position)
    {
        mPosition = std::move(position);
        Apply(false);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            WatchWindowHandle();
            break;
        case QEvent::Expose:
        case QEvent::Resize:
            if (FrameKnown())
                Apply(true);
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void WatchWindowHandle()
    {
        if (QWindow* handle = mWindow.windowHandle(); handle && handle != mWatched) {
            handle->installEventFilter(this);
            mWatched = handle;
        }
    }

    // Exposed in the normal state: the window manager has framed the window
    // and the frame is the one the normal placement is measured with.
    bool FrameKnown() const
    {
        const QWindow* handle = mWindow.windowHandle();
        return handle && handle->isExposed() && mWindow.isVisible() &&
               (mWindow.windowState() &
                (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
    }

    QMargins Frame() const
    {
        const QWindow* handle = mWindow.windowHandle();
        return handle && mWindow.isVisible() ? handle->frameMargins() : QMargins();
    }

    // Applies what is pending with the frame as it is known now; the last time
    // when the frame is known for sure.
    void Apply(bool last)
    {
        // Taken out first: resizing may deliver a resize event at once.
        const std::optional<QSize> outer =
            last ? std::exchange(mOuterSize, std::nullopt) : mOuterSize;
        const std::function<QPoint(QSize)> position =
            last ? std::exchange(mPosition, nullptr) : mPosition;
        if (!outer && !position)
            return;
        const QMargins frame = Frame();
        const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
        if (outer) {
            const QSize inner = *outer - frameSize;
            if (inner.isValid() && inner != mWindow.size())
                mWindow.resize(inner);
        }
        if (position)
            mWindow.move(position(mWindow.size() + frameSize));
        if (last)
            qCDebug(lcDesktop) << mWindow.objectName() << "placed by its outer size; frame"
                               << frame;
    }

    QWidget& mWindow;
    QWindow* mWatched = nullptr;
    std::optional<QSize> mOuterSize;
    std::function<QPoint(QSize)> mPosition;
};

} // namespace

void SetOuterSize(QWidget& window, QSize outer)
{
    CPendingPlacement::Of(window).SetOuterSize(outer);
}

void PlaceByOuterSize(QWidget& window, std::function<QPoint(QSize)> position)
{
    CPendingPlacement::Of(window).SetPosition(std::move(position));
}

} // namespace zrv::desktop
