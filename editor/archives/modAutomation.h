#pragma once

// Late-bound calls on automation objects through IDispatch. Every failure is
// thrown as EditorError(result, "Automation:<member>", description), the
// description being the object's own when it gave one.

#include "editor/archives/CVariant.h"

#include <QString>

namespace Automation {

// The dispatch id of a member, looked up by name.
DISPID IdOf(IDispatch* object, const QString& vsName);

// A property read, or a member called for its result, with up to one
// argument (an index or an address).
CVariant Get(IDispatch* object, DISPID id, const QString& vsMember, VARIANT* argument = nullptr);
// As Get; fails unless the result is an object.
ComPtr<IDispatch> GetObject(IDispatch* object, DISPID id, const QString& vsMember,
                            VARIANT* argument = nullptr);
void Put(IDispatch* object, DISPID id, const QString& vsMember, VARIANT* value);
// A member called for its effect, without arguments.
void Call(IDispatch* object, DISPID id, const QString& vsMember);

// The same, with the member looked up by name.
CVariant GetByName(IDispatch* object, const QString& vsName, VARIANT* argument = nullptr);
ComPtr<IDispatch> GetObjectByName(IDispatch* object, const QString& vsName,
                                  VARIANT* argument = nullptr);
void PutByName(IDispatch* object, const QString& vsName, VARIANT* value);
void CallByName(IDispatch* object, const QString& vsName);

} // namespace Automation
