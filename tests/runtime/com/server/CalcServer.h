#pragma once

// A small in-process server for the runtime's tests: class Calc with the dual
// interface ICalc, whose members use the call shapes of the system's
// components, and its type information.

#include "runtime/com/OleAuto.h"

constexpr GUID LIBID_CalcLib = {
    0x5A1E0C01, 0x2B3C, 0x4D5E, {0x8F, 0x90, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0x01}};
constexpr CLSID CLSID_Calc = {
    0x5A1E0C02, 0x2B3C, 0x4D5E, {0x8F, 0x90, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0x02}};
constexpr IID IID_ICalc = {
    0x5A1E0C03, 0x2B3C, 0x4D5E, {0x8F, 0x90, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0x03}};

// Dispatch ids.
enum : DISPID {
    kIdSetName = 1,
    kIdCount = 2,
    kIdItem = 5,
    kIdDelete = 6,
    kIdName = 9,
    kIdFail = 10,
    kIdSum = 11,
};

// Items start as "one", "two", "three"; indexes are 1-based, and out of range
// reads give "" and writes do nothing.
struct ICalc : IDispatch {
    virtual HRESULT SetName(BSTR name) = 0;
    virtual HRESULT Count(LONG* count) = 0;
    virtual HRESULT get_Item(LONG index, BSTR* text) = 0;
    virtual HRESULT put_Item(LONG index, BSTR text) = 0;
    virtual HRESULT Delete(LONG index) = 0;
    virtual HRESULT Name(BSTR* name) = 0;
    // Sets error information (source "ZrvTest.Calc", the description given)
    // and returns E_FAIL.
    virtual HRESULT Fail(BSTR description) = 0;
    // result = (negate ? -1 : 1) * (a + c)
    virtual HRESULT Sum(SHORT a, VARIANT_BOOL negate, LONG c, LONG* result) = 0;

protected:
    ~ICalc() = default;
};
