#pragma once

#include "runtime/registry/KeyHandle.h"

#include <map>
#include <mutex>

namespace zrv::reg {

// The process-wide table of open keys: 32-bit handles that are never the
// predefined roots. Its lock is the registry's lock.
class CKeyTable final {
public:
    static CKeyTable& Instance();

    std::mutex& Lock() { return m_lock; }
    HKEY Add(KeyHandle key);
    // The key of an open handle; a predefined root is made afresh, since its
    // hive files follow the environment. Nothing for an unknown handle.
    const KeyHandle* Find(HKEY handle);
    bool Remove(HKEY handle);

private:
    CKeyTable() = default;
    static KeyHandle RootKey(HKEY root);

    std::mutex m_lock;
    std::map<HKEY, KeyHandle> m_keys;
    KeyHandle m_root;
    HKEY m_next = 1;
};

} // namespace zrv::reg
