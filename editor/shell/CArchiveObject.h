#pragma once

#include "component/IFortune.h"
#include "runtime/com/BString.h"
#include "runtime/com/ComPtr.h"

#include <cstdint>
#include <QString>

// One Fortune object created through the component runtime by its class
// identity. A failing call is thrown as EditorError with the call's result as
// its number.
class CArchiveObject final {
public:
    CArchiveObject() = default;

    // A new, empty Fortune object.
    static CArchiveObject Create();

    explicit operator bool() const { return static_cast<bool>(mFortune); }
    IFortune* get() const { return mFortune.get(); }
    void reset() { mFortune.reset(); }

    void Load(const QString& path);
    int32_t Count() const;
    // The fortune's text as the component hands it out.
    BString Item(int32_t index) const;
    QString Name() const;
    QString Header() const;
    // The header and every fortune, read with one check of the file.
    ComPtr<IFortuneSnapshot> Snapshot() const;
    // The snapshot's header and fortune `index`, converted as Header and Item.
    static QString Header(IFortuneSnapshot& snapshot);
    static BString Item(IFortuneSnapshot& snapshot, int32_t index);

private:
    explicit CArchiveObject(ComPtr<IFortune> fortune);

    ComPtr<IFortune> mFortune;
};
