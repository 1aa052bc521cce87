#pragma once

// The interface of the Fortune class, as callers see it without linking the
// library: identities and the v-table of IFortune. Objects are created through
// the component runtime (CoCreateInstance with CLSID_Fortune).

#include "runtime/com/OleAuto.h"

// zrvfort 1.0 Type Library
constexpr GUID LIBID_ZRVFORTLib = {
    0x18DE8153, 0xF801, 0x4AFF, {0xA7, 0x50, 0xDB, 0xA2, 0x1F, 0xB6, 0x91, 0x08}};
// Fortune Class
constexpr CLSID CLSID_Fortune = {
    0x095D251D, 0x865B, 0x48EE, {0xB1, 0xED, 0x94, 0x3A, 0x95, 0xC4, 0x6C, 0xB7}};
// IFortune Interface
constexpr IID IID_IFortune = {
    0x4C69AC80, 0x465B, 0x4A11, {0xB6, 0x7C, 0x0A, 0x0F, 0xFE, 0x36, 0x53, 0x65}};

// Dual interface: these members follow IDispatch's in the v-table, in this
// order. Strings in are borrowed (null is the empty text); strings out are
// new and belong to the caller. Ordinary conditions (bad index, no archive
// open) answer S_OK; DISP_E_EXCEPTION means the operation failed part-way.
struct IFortune : IDispatch {
    virtual HRESULT Load(BSTR sFile) = 0;                        // dispid 1
    virtual HRESULT Count(LONG* plCount) = 0;                    // dispid 2
    virtual HRESULT Add(BSTR vsFortune) = 0;                     // dispid 4
    virtual HRESULT get_Item(LONG vlIndex, BSTR* rsFortune) = 0; // dispid 5
    virtual HRESULT put_Item(LONG vlIndex, BSTR newVal) = 0;     // dispid 5
    virtual HRESULT Delete(LONG vlIndex) = 0;                    // dispid 6
    virtual HRESULT Create(BSTR sFile) = 0;                      // dispid 7
    virtual HRESULT Rename(BSTR sFile) = 0;                      // dispid 8
    virtual HRESULT Name(BSTR* psFile) = 0;                      // dispid 9
    virtual HRESULT get_Header(BSTR* pVal) = 0;                  // dispid 10
    virtual HRESULT put_Header(BSTR newVal) = 0;                 // dispid 10

protected:
    ~IFortune() = default;
};
