#pragma once

#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"

#include <cstdint>
#include <QString>
#include <utility>

// Owner of one VARIANT: clears it (freeing its text or releasing its object)
// when it goes.
class CVariant final {
public:
    CVariant() { VariantInit(&mValue); }
    ~CVariant() { VariantClear(&mValue); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
    CVariant(CVariant&& other) noexcept : mValue(other.mValue) { VariantInit(&other.mValue); }
    CVariant& operator=(CVariant&& other) noexcept
    {
        std::swap(mValue, other.mValue);
        return *this;
    }

    static CVariant Text(const QString& vsText);
    static CVariant Long(int32_t vlValue);
    static CVariant Double(double vdValue);
    static CVariant Bool(bool vbValue);

    VARIANT* get() { return &mValue; }
    const VARIANT& value() const { return mValue; }
    VARTYPE Type() const { return mValue.vt; }

    // The object the variant holds, or null when it holds none.
    ComPtr<IDispatch> Object() const;

private:
    VARIANT mValue;
};
