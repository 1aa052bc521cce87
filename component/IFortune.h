#pragma once

// The interfaces of the Fortune class, as callers see them without linking the
// library: identities and the v-tables of IFortune, IFortuneBatch and
// IFortuneSnapshot. Objects are created through the component runtime
// (CoCreateInstance with CLSID_Fortune); IFortuneBatch is reached from them
// by QueryInterface.

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

// IFortuneBatch Interface
constexpr IID IID_IFortuneBatch = {
    0x02CE6F7D, 0x7675, 0x407A, {0xBA, 0x23, 0x22, 0x07, 0xC8, 0x33, 0xAE, 0x27}};
// IFortuneSnapshot Interface
constexpr IID IID_IFortuneSnapshot = {
    0x71EC6233, 0x70F8, 0x4675, {0x9D, 0xD3, 0x86, 0x63, 0x77, 0xCC, 0x5F, 0x4E}};

// Dual interface: these members follow IDispatch's in the v-table, in this
// order. Strings in are borrowed (null is the empty text); strings out are
// new and belong to the caller. Ordinary conditions (bad index, no archive
// open) answer S_OK; DISP_E_EXCEPTION means the operation failed part-way.
//
// Add, put_Item and put_Header refuse a text that would not read back as
// given (a NUL character, a line of only "%" after a bare line feed, a last
// line of only "%"): E_INVALIDARG with a description as the thread's error
// information, and the archive unchanged.
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

// The header and every fortune of an archive as they stood when it was taken;
// reading it never looks at the file again. Texts as IFortune hands them out.
struct IFortuneSnapshot : IUnknown {
    virtual HRESULT Count(LONG* plCount) = 0;
    virtual HRESULT get_Item(LONG vlIndex, BSTR* rsFortune) = 0; // "" when out of range
    virtual HRESULT get_Header(BSTR* pVal) = 0;
    // The fortune as the file stores it: its own line ends, NUL bytes kept;
    // "" when out of range. InsertMany with FORTUNE_ADD_EXACT stores it back
    // byte for byte.
    virtual HRESULT get_StoredItem(LONG vlIndex, BSTR* rsFortune) = 0;
    // The header as the file stores it; put_Header stores it back exactly.
    virtual HRESULT get_StoredHeader(BSTR* pVal) = 0;

protected:
    ~IFortuneSnapshot() = default;
};

// Flags of IFortuneBatch::AddMany: texts trimmed as Add trims them (empty
// ones add nothing), or every text stored exactly as given, empty ones too.
constexpr LONG FORTUNE_ADD_TRIMMED = 0;
constexpr LONG FORTUNE_ADD_EXACT = 1;

// Many fortunes at the cost of one look at the file or one durable write.
// Each change is all or nothing: on S_OK it is on disk; on failure the file is
// byte for byte as before and the thread's error information says why:
// E_INVALIDARG for an index out of range or a text IFortune::Add would refuse
// (the description names it: "Text N ..."), E_FAIL when the file could not be
// read or written.
struct IFortuneBatch : IUnknown {
    // Header and every text, taken with one check of the file.
    virtual HRESULT Snapshot(IFortuneSnapshot** ppSnapshot) = 0;
    // Appends lCount texts, in order, in one write, as lFlags says: trimmed as
    // Add trims them (empty ones add nothing), or with FORTUNE_ADD_EXACT each
    // stored as given, so that Item gives it back unchanged when its line ends
    // are CR LF (a text that would not read back, such as one whose last line
    // is only "%", is refused). Other flags are E_INVALIDARG.
    virtual HRESULT AddMany(LONG lCount, const BSTR* psFortunes, LONG lFlags) = 0;
    // Deletes the fortunes at lCount 1-based indexes, numbered as before the
    // call, in any order, duplicates counted once, in one rewrite.
    virtual HRESULT DeleteMany(LONG lCount, const LONG* plIndexes) = 0;
    // Puts text k at plIndexes[k], numbered as after the call: 1-based,
    // strictly increasing, each at most Count() + k + 1 (so the last at most
    // Count() + lCount); fortunes not named keep their order around them. Texts
    // are taken as AddMany takes them under lFlags; a trimmed text that is
    // empty adds nothing, and the others keep the places they would have with
    // it. DeleteMany(n, indexes) is undone by InsertMany(n, the same indexes
    // ascending, the texts taken from them, FORTUNE_ADD_EXACT).
    virtual HRESULT InsertMany(LONG lCount, const LONG* plIndexes, const BSTR* psFortunes,
                               LONG lFlags) = 0;
    // Replaces fortune vlIndex (1-based) with the text as AddMany takes it
    // under lFlags, in one write; a trimmed text that is empty is refused.
    // Unlike put_Item it reports a failed write.
    virtual HRESULT ReplaceItem(LONG vlIndex, BSTR sFortune, LONG lFlags) = 0;

protected:
    ~IFortuneBatch() = default;
};
