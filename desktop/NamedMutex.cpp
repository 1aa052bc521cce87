#include "desktop/NamedMutex.h"

#include "desktop/Logging.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <QByteArray>
#include <unistd.h>
#include <vector>

namespace zrv::desktop {

namespace {

// The handles of CreateMutexA, closed at the latest when the process ends.
class OpenHandles final {
public:
    HANDLE Add(std::unique_ptr<NamedMutex> mutex)
    {
        const std::lock_guard lock(m_mutex);
        m_handles.push_back(std::move(mutex));
        return m_handles.back().get();
    }

    NamedMutex* Find(HANDLE handle)
    {
        const std::lock_guard lock(m_mutex);
        const auto it = Position(handle);
        return it == m_handles.end() ? nullptr : it->get();
    }

    bool Close(HANDLE handle)
    {
        const std::lock_guard lock(m_mutex);
        const auto it = Position(handle);
        if (it == m_handles.end())
            return false;
        m_handles.erase(it);
        return true;
    }

private:
    std::vector<std::unique_ptr<NamedMutex>>::iterator Position(HANDLE handle)
    {
        return std::find_if(m_handles.begin(), m_handles.end(),
                            [handle](const auto& mutex) { return mutex.get() == handle; });
    }

    std::mutex m_mutex;
    std::vector<std::unique_ptr<NamedMutex>> m_handles;
};

OpenHandles& Handles()
{
    static OpenHandles handles;
    return handles;
}

} // namespace

NamedMutex::NamedMutex(const QString& name, bool initialOwner)
{
    const QByteArray systemName = SystemName(name);
    m_semaphore = sem_open(systemName.constData(), O_CREAT | O_EXCL, 0600, 1U);
    if (m_semaphore == SEM_FAILED && errno == EEXIST) {
        m_existed = true;
        m_semaphore = sem_open(systemName.constData(), 0);
    }
    if (isValid() && initialOwner)
        tryLock();
}

NamedMutex::~NamedMutex()
{
    if (!isValid())
        return;
    unlock();
    sem_close(m_semaphore);
}

bool NamedMutex::tryLock()
{
    if (!isValid() || m_owned)
        return m_owned;
    m_owned = sem_trywait(m_semaphore) == 0;
    return m_owned;
}

bool NamedMutex::unlock()
{
    if (!m_owned)
        return false;
    m_owned = false;
    return sem_post(m_semaphore) == 0;
}

QByteArray NamedMutex::SystemName(const QString& name)
{
    QByteArray bytes = name.toUtf8();
    bytes.replace('/', '_');
    // NAME_MAX less the "sem." the system puts in front.
    const QByteArray prefix = "/zrv-" + QByteArray::number(getuid()) + '-';
    return (prefix + bytes).left(251);
}

bool NamedMutex::Exists(const QString& name)
{
    sem_t* const semaphore = sem_open(SystemName(name).constData(), 0);
    if (semaphore == SEM_FAILED)
        return false;
    sem_close(semaphore);
    return true;
}

bool NamedMutex::Remove(const QString& name)
{
    return sem_unlink(SystemName(name).constData()) == 0;
}

HANDLE CreateMutexA(void* /*lpMutexAttributes*/, BOOL bInitialOwner, LPCSTR lpName)
{
    const QString name = QString::fromLocal8Bit(lpName ? lpName : "");
    auto mutex = std::make_unique<NamedMutex>(name, bInitialOwner != FALSE);
    if (!mutex->isValid()) {
        qCWarning(lcDesktop).nospace() << "named mutex " << NamedMutex::SystemName(name)
                                       << " cannot be opened: " << std::strerror(errno);
        return nullptr;
    }
    return Handles().Add(std::move(mutex));
}

BOOL ReleaseMutex(HANDLE hMutex)
{
    NamedMutex* const mutex = Handles().Find(hMutex);
    return mutex && mutex->unlock() ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE hObject)
{
    return Handles().Close(hObject) ? TRUE : FALSE;
}

} // namespace zrv::desktop
