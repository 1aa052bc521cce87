#pragma once

// Named mutexes as named POSIX semaphores of the user ("/zrv-<uid>-<name>").
// The object stays in the system after the last holder closes it, so its
// presence tells that an editor has run; holding it is what a handle does.

#include "desktop/DesktopTypes.h"

#include <QByteArray>
#include <QString>
#include <semaphore.h>

namespace zrv::desktop {

class NamedMutex final {
public:
    // Opens the mutex, creating it when missing; initialOwner also takes it
    // when nobody holds it. isValid() tells whether that worked.
    explicit NamedMutex(const QString& name, bool initialOwner = false);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool isValid() const { return m_semaphore != SEM_FAILED; }
    bool alreadyExisted() const { return m_existed; }
    bool owned() const { return m_owned; }
    bool tryLock();
    bool unlock();

    static QByteArray SystemName(const QString& name);
    static bool Exists(const QString& name);
    // Removes the name from the system; holders keep their handles.
    static bool Remove(const QString& name);

private:
    sem_t* m_semaphore = SEM_FAILED;
    bool m_existed = false;
    bool m_owned = false;
};

// The handle stays open until CloseHandle or the end of the process. Null
// when the mutex cannot be opened.
HANDLE CreateMutexA(void* lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);
BOOL ReleaseMutex(HANDLE hMutex);
BOOL CloseHandle(HANDLE hObject);

} // namespace zrv::desktop
