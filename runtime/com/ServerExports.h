#pragma once

// The four entry points of an in-process server library, with C linkage:
// Module (see CServerModule) serves the class classId, whose objects
// Class::CreateInstance(outer, iid, ppv) makes, and Registrar offers
//   explicit Registrar(std::string modulePath);
//   HRESULT Register() const;    stops at the first failure
//   void Unregister() const;     ignores failures
// Used once, in the file of the library's exports.

#include "runtime/ZrvTypes.h"

#define ZRV_SERVER_ENTRY_POINTS(Module, Class, classId, Registrar)                                 \
    extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(                   \
        const GUID* clsid, const GUID* iid, void** ppv)                                            \
    {                                                                                              \
        return Module::Instance().template GetClassObject<Class>(classId, clsid, iid, ppv);        \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow(void)                \
    {                                                                                              \
        return Module::Instance().CanUnloadNow();                                                  \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer(void)              \
    {                                                                                              \
        return Registrar(Module::FilePath()).Register();                                           \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer(void)            \
    {                                                                                              \
        Registrar(Module::FilePath()).Unregister();                                                \
        return S_OK;                                                                               \
    }
