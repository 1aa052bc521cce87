#pragma once

// The automation runtime: BSTR, VARIANT, IDispatch, type information and
// per-thread error information, with the home platform's layouts, v-table
// orders and C-linkage entry points.

#include "runtime/com/ObjBase.h"

#include <cstddef>

struct IDispatch;
struct ITypeInfo;
struct ITypeLib;
struct ITypeComp;
// Member and variable descriptions are not provided (GetFuncDesc and
// GetVarDesc answer E_NOTIMPL); the types exist to keep the v-table order.
struct FUNCDESC;
struct VARDESC;

// Result codes of the type library functions beyond those of ZrvTypes.h.
constexpr HRESULT TYPE_E_REGISTRYACCESS = static_cast<HRESULT>(0x8002801C);
constexpr HRESULT TYPE_E_INVALIDSTATE = static_cast<HRESULT>(0x80028029);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000B);

using VARTYPE = uint16_t;
using MEMBERID = DISPID;
using HREFTYPE = DWORD;
using USHORT = uint16_t;
using SHORT = int16_t;
using INT = int32_t;

enum : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_PTR = 26,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

// A record value: the widest member, two pointers.
struct VARIANT_RECORD {
    void* pvRecord;
    void* pRecInfo;
};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        int64_t llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        char cVal;
        USHORT uiVal;
        ULONG ulVal;
        uint64_t ullVal;
        INT intVal;
        UINT uintVal;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        int64_t* pllVal;
        float* pfltVal;
        double* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        DATE* pdate;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        void* byref;
        VARIANT_RECORD brecVal;
    };
};
using VARIANTARG = VARIANT;
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*));
static_assert(offsetof(VARIANT, lVal) == 8);

// Arguments in reverse order; named arguments first.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_PROPERTYPUT = -3;
constexpr DISPID DISPID_NEWENUM = -4;
constexpr MEMBERID MEMBERID_NIL = DISPID_UNKNOWN;

// VariantChangeType flags.
constexpr USHORT VARIANT_NOVALUEPROP = 0x01;
constexpr USHORT VARIANT_ALPHABOOL = 0x02;
constexpr USHORT VARIANT_NOUSEROVERRIDE = 0x04;
constexpr USHORT VARIANT_LOCALBOOL = 0x10;

constexpr LCID LOCALE_NEUTRAL = 0x0000;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCID LANG_NEUTRAL = 0x0000;
constexpr LCID LANG_ENGLISH_US = 0x0409;

enum SYSKIND : int32_t {
    SYS_WIN16 = 0,
    SYS_WIN32 = 1,
    SYS_MAC = 2,
    SYS_WIN64 = 3,
    // This runtime's own kind: 64-bit ELF shared objects. Registered type
    // libraries live under TypeLib\{...}\<version>\<lcid>\linux64.
    SYS_LINUX64 = 4,
};
constexpr SYSKIND SYS_NATIVE = SYS_LINUX64;

enum TYPEKIND : int32_t {
    TKIND_ENUM = 0,
    TKIND_RECORD = 1,
    TKIND_MODULE = 2,
    TKIND_INTERFACE = 3,
    TKIND_DISPATCH = 4,
    TKIND_COCLASS = 5,
    TKIND_ALIAS = 6,
    TKIND_UNION = 7,
};

enum INVOKEKIND : int32_t {
    INVOKE_FUNC = 1,
    INVOKE_PROPERTYGET = 2,
    INVOKE_PROPERTYPUT = 4,
    INVOKE_PROPERTYPUTREF = 8,
};

constexpr USHORT PARAMFLAG_NONE = 0x00;
constexpr USHORT PARAMFLAG_FIN = 0x01;
constexpr USHORT PARAMFLAG_FOUT = 0x02;
constexpr USHORT PARAMFLAG_FLCID = 0x04;
constexpr USHORT PARAMFLAG_FRETVAL = 0x08;
constexpr USHORT PARAMFLAG_FOPT = 0x10;

constexpr WORD TYPEFLAG_FAPPOBJECT = 0x0001;
constexpr WORD TYPEFLAG_FCANCREATE = 0x0002;
constexpr WORD TYPEFLAG_FHIDDEN = 0x0010;
constexpr WORD TYPEFLAG_FDUAL = 0x0040;
constexpr WORD TYPEFLAG_FNONEXTENSIBLE = 0x0080;
constexpr WORD TYPEFLAG_FOLEAUTOMATION = 0x0100;
constexpr WORD TYPEFLAG_FDISPATCHABLE = 0x1000;

constexpr WORD LIBFLAG_FRESTRICTED = 0x1;
constexpr WORD LIBFLAG_FCONTROL = 0x2;
constexpr WORD LIBFLAG_FHIDDEN = 0x4;
constexpr WORD LIBFLAG_FHASDISKIMAGE = 0x8;

constexpr INT IMPLTYPEFLAG_FDEFAULT = 0x1;

struct TYPEDESC {
    union {
        TYPEDESC* lptdesc;
        void* lpadesc;
        HREFTYPE hreftype;
    };
    VARTYPE vt;
};

struct IDLDESC {
    uintptr_t dwReserved;
    USHORT wIDLFlags;
};

struct TYPEATTR {
    GUID guid;
    LCID lcid;
    DWORD dwReserved;
    MEMBERID memidConstructor;
    MEMBERID memidDestructor;
    LPOLESTR lpstrSchema;
    ULONG cbSizeInstance;
    TYPEKIND typekind;
    WORD cFuncs;
    WORD cVars;
    WORD cImplTypes;
    WORD cbSizeVft;
    WORD cbAlignment;
    WORD wTypeFlags;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    TYPEDESC tdescAlias;
    IDLDESC idldescType;
};

struct TLIBATTR {
    GUID guid;
    LCID lcid;
    SYSKIND syskind;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wLibFlags;
};

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(const GUID& iid, OLECHAR** names, UINT count, LCID lcid,
                                  DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, const GUID& iid, LCID lcid, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) = 0;

protected:
    ~IDispatch() = default;
};

// The home platform's ITypeInfo in its v-table order. Implemented here:
// GetTypeAttr, GetNames, GetRefTypeOfImplType, GetImplTypeFlags,
// GetIDsOfNames, Invoke, GetDocumentation, GetRefTypeInfo,
// GetContainingTypeLib and the Release members. GetTypeComp, GetFuncDesc,
// GetVarDesc, GetDllEntry, AddressOfMember, CreateInstance and GetMops answer
// E_NOTIMPL.
struct ITypeInfo : IUnknown {
    virtual HRESULT GetTypeAttr(TYPEATTR** attr) = 0;
    virtual HRESULT GetTypeComp(ITypeComp** comp) = 0;
    virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) = 0;
    virtual HRESULT GetVarDesc(UINT index, VARDESC** desc) = 0;
    virtual HRESULT GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count) = 0;
    virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* ref) = 0;
    virtual HRESULT GetImplTypeFlags(UINT index, INT* flags) = 0;
    virtual HRESULT GetIDsOfNames(OLECHAR** names, UINT count, MEMBERID* ids) = 0;
    virtual HRESULT Invoke(void* instance, MEMBERID id, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) = 0;
    virtual HRESULT GetDocumentation(MEMBERID id, BSTR* name, BSTR* docString, DWORD* helpContext,
                                     BSTR* helpFile) = 0;
    virtual HRESULT GetDllEntry(MEMBERID id, INVOKEKIND kind, BSTR* dllName, BSTR* name,
                                WORD* ordinal) = 0;
    virtual HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) = 0;
    virtual HRESULT AddressOfMember(MEMBERID id, INVOKEKIND kind, void** address) = 0;
    virtual HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) = 0;
    virtual HRESULT GetMops(MEMBERID id, BSTR* mops) = 0;
    virtual HRESULT GetContainingTypeLib(ITypeLib** lib, UINT* index) = 0;
    virtual void ReleaseTypeAttr(TYPEATTR* attr) = 0;
    virtual void ReleaseFuncDesc(FUNCDESC* desc) = 0;
    virtual void ReleaseVarDesc(VARDESC* desc) = 0;

protected:
    ~ITypeInfo() = default;
};

// The home platform's ITypeLib in its v-table order. GetTypeComp answers
// E_NOTIMPL; the hash arguments of IsName and FindName are ignored.
struct ITypeLib : IUnknown {
    virtual UINT GetTypeInfoCount() = 0;
    virtual HRESULT GetTypeInfo(UINT index, ITypeInfo** info) = 0;
    virtual HRESULT GetTypeInfoType(UINT index, TYPEKIND* kind) = 0;
    virtual HRESULT GetTypeInfoOfGuid(const GUID& guid, ITypeInfo** info) = 0;
    virtual HRESULT GetLibAttr(TLIBATTR** attr) = 0;
    virtual HRESULT GetTypeComp(ITypeComp** comp) = 0;
    // index -1 describes the library itself.
    virtual HRESULT GetDocumentation(INT index, BSTR* name, BSTR* docString, DWORD* helpContext,
                                     BSTR* helpFile) = 0;
    virtual HRESULT IsName(LPOLESTR name, ULONG hash, BOOL* found) = 0;
    virtual HRESULT FindName(LPOLESTR name, ULONG hash, ITypeInfo** infos, MEMBERID* ids,
                             USHORT* found) = 0;
    virtual void ReleaseTLibAttr(TLIBATTR* attr) = 0;

protected:
    ~ITypeLib() = default;
};

struct IErrorInfo : IUnknown {
    virtual HRESULT GetGUID(GUID* guid) = 0;
    virtual HRESULT GetSource(BSTR* source) = 0;
    virtual HRESULT GetDescription(BSTR* description) = 0;
    virtual HRESULT GetHelpFile(BSTR* helpFile) = 0;
    virtual HRESULT GetHelpContext(DWORD* helpContext) = 0;

protected:
    ~IErrorInfo() = default;
};

struct ICreateErrorInfo : IUnknown {
    virtual HRESULT SetGUID(const GUID& guid) = 0;
    virtual HRESULT SetSource(LPOLESTR source) = 0;
    virtual HRESULT SetDescription(LPOLESTR description) = 0;
    virtual HRESULT SetHelpFile(LPOLESTR helpFile) = 0;
    virtual HRESULT SetHelpContext(DWORD helpContext) = 0;

protected:
    ~ICreateErrorInfo() = default;
};

struct ISupportErrorInfo : IUnknown {
    virtual HRESULT InterfaceSupportsErrorInfo(const GUID& iid) = 0;

protected:
    ~ISupportErrorInfo() = default;
};

extern "C" {

// A BSTR points just past a uint32_t byte length and is NUL-terminated. A
// null BSTR is the empty string.
ZRVRT_API BSTR SysAllocString(const OLECHAR* text);
// Copies len units of text, or leaves them zeroed when text is null.
ZRVRT_API BSTR SysAllocStringLen(const OLECHAR* text, UINT len);
// len bytes (may be odd); the bytes are copied as they are.
ZRVRT_API BSTR SysAllocStringByteLen(const char* bytes, UINT len);
ZRVRT_API int SysReAllocString(BSTR* target, const OLECHAR* text);
ZRVRT_API int SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT len);
ZRVRT_API void SysFreeString(BSTR text);
ZRVRT_API UINT SysStringLen(BSTR text);
ZRVRT_API UINT SysStringByteLen(BSTR text);

ZRVRT_API void VariantInit(VARIANT* v);
// Frees what the variant owns (string, interface reference) and makes it empty.
ZRVRT_API HRESULT VariantClear(VARIANT* v);
ZRVRT_API HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Like VariantCopy, but copies the value a by-reference source points at.
ZRVRT_API HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src);
// dest may be src. Numbers, dates and booleans convert to text; text converts
// to numbers (rounded half to even for integers) and booleans; an object
// converts through its DISPID_VALUE property unless VARIANT_NOVALUEPROP.
// Out of range gives DISP_E_OVERFLOW; text that is no number and an
// unsupported pair DISP_E_TYPEMISMATCH. dest is unchanged on failure.
ZRVRT_API HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);
ZRVRT_API HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* src, LCID lcid, USHORT flags,
                                      VARTYPE vt);

// Automation dates: days since 30 December 1899, the fraction the time of day.
ZRVRT_API INT SystemTimeToVariantTime(const SYSTEMTIME* time, double* date);
ZRVRT_API INT VariantTimeToSystemTime(double date, SYSTEMTIME* time);

// Error information of the calling thread.
ZRVRT_API HRESULT CreateErrorInfo(ICreateErrorInfo** info);
ZRVRT_API HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
// Hands over the thread's error information and clears it; S_FALSE and null
// when there is none.
ZRVRT_API HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);

// Reads the type information a shared object carries (TypeLibData.h).
// TYPE_E_CANTLOADLIBRARY when the file does not load or carries none.
ZRVRT_API HRESULT LoadTypeLib(LPCOLESTR file, ITypeLib** lib);
// Loads the library registered for libid at that version and locale.
ZRVRT_API HRESULT LoadRegTypeLib(const GUID& libid, WORD major, WORD minor, LCID lcid,
                                 ITypeLib** lib);
ZRVRT_API HRESULT QueryPathOfRegTypeLib(const GUID& libid, USHORT major, USHORT minor, LCID lcid,
                                        BSTR* path);
// Writes TypeLib\{libid}\<major.minor> (description, FLAGS, HELPDIR,
// <lcid>\linux64 = fullPath) and Interface\{iid} entries for its
// automation-compatible interfaces.
ZRVRT_API HRESULT RegisterTypeLib(ITypeLib* lib, LPCOLESTR fullPath, LPCOLESTR helpDir);
// Removes what RegisterTypeLib wrote for that version, locale and kind.
ZRVRT_API HRESULT UnRegisterTypeLib(const GUID& libid, WORD major, WORD minor, LCID lcid,
                                    SYSKIND syskind);

} // extern "C"
