#include "editor/archives/modAutomation.h"

#include "editor/support/EditorError.h"
#include "runtime/com/BString.h"

namespace Automation {

namespace {

[[noreturn]] void Fail(HRESULT hr, const QString& vsMember, EXCEPINFO* excep)
{
    QString description = QStringLiteral("Automation error 0x%1")
                              .arg(static_cast<uint32_t>(hr), 8, 16, QLatin1Char('0'));
    if (excep != nullptr) {
        const BString source = BString::attach(excep->bstrSource);
        const BString text = BString::attach(excep->bstrDescription);
        const BString help = BString::attach(excep->bstrHelpFile);
        if (text.length() > 0) {
            const std::u16string_view view = text.view();
            description = QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
        }
        if (hr == DISP_E_EXCEPTION && excep->scode != 0)
            hr = excep->scode;
    }
    throw EditorError(hr, QStringLiteral("Automation:") + vsMember, description);
}

CVariant Invoke(IDispatch* object, DISPID id, const QString& vsMember, WORD flags,
                DISPPARAMS& params)
{
    if (object == nullptr)
        throw EditorError(E_POINTER, QStringLiteral("Automation:") + vsMember,
                          QStringLiteral("Object variable not set"));
    CVariant result;
    EXCEPINFO excep{};
    UINT argErr = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      result.get(), &excep, &argErr);
    if (FAILED(hr))
        Fail(hr, vsMember, &excep);
    return result;
}

DISPPARAMS Arguments(VARIANT* argument)
{
    return {argument, nullptr, argument != nullptr ? 1u : 0u, 0u};
}

} // namespace

DISPID IdOf(IDispatch* object, const QString& vsName)
{
    if (object == nullptr)
        throw EditorError(E_POINTER, QStringLiteral("Automation:") + vsName,
                          QStringLiteral("Object variable not set"));
    std::u16string name = vsName.toStdU16String();
    OLECHAR* names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        Fail(hr, vsName, nullptr);
    return id;
}

CVariant Get(IDispatch* object, DISPID id, const QString& vsMember, VARIANT* argument)
{
    DISPPARAMS params = Arguments(argument);
    return Invoke(object, id, vsMember, DISPATCH_METHOD | DISPATCH_PROPERTYGET, params);
}

ComPtr<IDispatch> GetObject(IDispatch* object, DISPID id, const QString& vsMember,
                            VARIANT* argument)
{
    ComPtr<IDispatch> result = Get(object, id, vsMember, argument).Object();
    if (!result)
        throw EditorError(DISP_E_TYPEMISMATCH, QStringLiteral("Automation:") + vsMember,
                          QStringLiteral("Object required"));
    return result;
}

void Put(IDispatch* object, DISPID id, const QString& vsMember, VARIANT* value)
{
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{value, &named, 1, 1};
    Invoke(object, id, vsMember, DISPATCH_PROPERTYPUT, params);
}

void Call(IDispatch* object, DISPID id, const QString& vsMember)
{
    DISPPARAMS params = Arguments(nullptr);
    Invoke(object, id, vsMember, DISPATCH_METHOD, params);
}

CVariant GetByName(IDispatch* object, const QString& vsName, VARIANT* argument)
{
    return Get(object, IdOf(object, vsName), vsName, argument);
}

ComPtr<IDispatch> GetObjectByName(IDispatch* object, const QString& vsName, VARIANT* argument)
{
    return GetObject(object, IdOf(object, vsName), vsName, argument);
}

void PutByName(IDispatch* object, const QString& vsName, VARIANT* value)
{
    Put(object, IdOf(object, vsName), vsName, value);
}

void CallByName(IDispatch* object, const QString& vsName)
{
    Call(object, IdOf(object, vsName), vsName);
}

} // namespace Automation
