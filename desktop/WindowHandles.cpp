#include "desktop/WindowHandles.h"

#include "desktop/WindowPublisher.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <QPointer>
#include <QWidget>
#include <unistd.h>

namespace zrv::desktop {

namespace {

struct Hook {
    IZorvaSubClass* callback;
    HWND hWnd;
    UINT msg;
    bool operator==(const Hook&) const = default;
};

struct Slot {
    QPointer<QWidget> widget;
    const QWidget* key = nullptr; // stays valid for lookups while the widget dies
    WindowEntry entry;
    uint64_t order = 0;
    std::vector<QMetaObject::Connection> connections;
};

// The process-wide table. Entries change on the GUI thread only; the window
// publisher reads them from its own thread, hence the lock.
class WindowTable final {
public:
    static WindowTable& Instance()
    {
        static WindowTable table;
        return table;
    }

    HWND Register(QWidget* window, const QString& windowClass)
    {
        std::unique_lock lock(m_mutex);
        if (const HWND existing = FindLocked(window))
            return existing;
        const uint32_t slot = FreeSlotLocked();
        if (slot == 0)
            return 0;
        const HWND hWnd = (static_cast<uint32_t>(getpid()) << kWindowSlotBits) | slot;
        Slot& entry = m_slots[hWnd];
        entry.widget = window;
        entry.key = window;
        entry.entry = {hWnd, windowClass, window->windowTitle()};
        entry.order = ++m_registrations;
        entry.connections.push_back(
            QObject::connect(window, &QWidget::windowTitleChanged,
                             [this, hWnd](const QString& title) { SetCaption(hWnd, title); }));
        entry.connections.push_back(
            QObject::connect(window, &QObject::destroyed, [this, hWnd] { Unregister(hWnd); }));
        m_nextSlot = slot + 1;
        lock.unlock();
        WindowPublisher::EnsureStarted();
        return hWnd;
    }

    void Unregister(HWND hWnd)
    {
        std::vector<QMetaObject::Connection> connections;
        {
            const std::lock_guard lock(m_mutex);
            const auto it = m_slots.find(hWnd);
            if (it == m_slots.end())
                return;
            connections = std::move(it->second.connections);
            m_slots.erase(it);
            std::erase_if(m_hooks, [hWnd](const Hook& hook) { return hook.hWnd == hWnd; });
        }
        for (const auto& connection : connections)
            QObject::disconnect(connection);
    }

    QWidget* Widget(HWND hWnd) const
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_slots.find(hWnd);
        return it == m_slots.end() ? nullptr : it->second.widget.data();
    }

    HWND Handle(const QWidget* window) const
    {
        const std::lock_guard lock(m_mutex);
        return FindLocked(window);
    }

    std::vector<WindowEntry> Entries() const
    {
        const std::lock_guard lock(m_mutex);
        std::vector<std::pair<uint64_t, WindowEntry>> ordered;
        for (const auto& item : m_slots)
            ordered.emplace_back(item.second.order, item.second.entry);
        std::sort(ordered.begin(), ordered.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<WindowEntry> entries;
        for (auto& item : ordered)
            entries.push_back(std::move(item.second));
        return entries;
    }

    void AddHook(const Hook& hook)
    {
        const std::lock_guard lock(m_mutex);
        if (std::find(m_hooks.begin(), m_hooks.end(), hook) == m_hooks.end())
            m_hooks.push_back(hook);
    }

    void RemoveHook(const Hook& hook)
    {
        const std::lock_guard lock(m_mutex);
        std::erase(m_hooks, hook);
    }

    std::vector<IZorvaSubClass*> Listeners(HWND hWnd, UINT msg) const
    {
        const std::lock_guard lock(m_mutex);
        std::vector<IZorvaSubClass*> listeners;
        for (const Hook& hook : m_hooks) {
            if (hook.hWnd == hWnd && hook.msg == msg)
                listeners.push_back(hook.callback);
        }
        return listeners;
    }

private:
    HWND FindLocked(const QWidget* window) const
    {
        for (const auto& [hWnd, slot] : m_slots) {
            if (slot.key == window)
                return hWnd;
        }
        return 0;
    }

    // Slots are handed out in turn so that a closed window's handle is not
    // given to the next window at once.
    uint32_t FreeSlotLocked()
    {
        const uint32_t base = static_cast<uint32_t>(getpid()) << kWindowSlotBits;
        for (uint32_t tried = 0; tried < kWindowSlotMask; ++tried) {
            const uint32_t slot = (m_nextSlot + tried - 1) % kWindowSlotMask + 1;
            if (!m_slots.contains(base | slot))
                return slot;
        }
        return 0;
    }

    void SetCaption(HWND hWnd, const QString& caption)
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_slots.find(hWnd);
        if (it != m_slots.end())
            it->second.entry.caption = caption;
    }

    mutable std::mutex m_mutex;
    std::map<HWND, Slot> m_slots;
    std::vector<Hook> m_hooks;
    uint32_t m_nextSlot = 1;
    uint64_t m_registrations = 0;
};

} // namespace

HWND RegisterWindow(QWidget* window, const QString& windowClass)
{
    return window ? WindowTable::Instance().Register(window, windowClass) : 0;
}

void UnregisterWindow(HWND hWnd)
{
    WindowTable::Instance().Unregister(hWnd);
}

QWidget* WindowFromHandle(HWND hWnd)
{
    return WindowTable::Instance().Widget(hWnd);
}

HWND HandleFromWindow(const QWidget* window)
{
    return window ? WindowTable::Instance().Handle(window) : 0;
}

std::vector<WindowEntry> RegisteredWindows()
{
    return WindowTable::Instance().Entries();
}

void HookMessage(IZorvaSubClass* callback, HWND hWnd, UINT iMsg)
{
    if (callback && hWnd)
        WindowTable::Instance().AddHook({callback, hWnd, iMsg});
}

void UnhookMessage(IZorvaSubClass* callback, HWND hWnd, UINT iMsg)
{
    WindowTable::Instance().RemoveHook({callback, hWnd, iMsg});
}

LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    // A callback may unhook itself or others while the message is delivered.
    for (IZorvaSubClass* callback : WindowTable::Instance().Listeners(hWnd, msg)) {
        const auto current = WindowTable::Instance().Listeners(hWnd, msg);
        if (std::find(current.begin(), current.end(), callback) != current.end())
            result = callback->WindowProc(hWnd, msg, wParam, lParam);
    }
    return result;
}

} // namespace zrv::desktop
