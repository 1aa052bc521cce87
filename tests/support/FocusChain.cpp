#include "tests/support/FocusChain.h"

#include <QWidget>

namespace zrv::test {

QWidget* NextTabStop(QWidget* w)
{
    QWidget* next = w->nextInFocusChain();
    while (next != w && (w->isAncestorOf(next) || !(next->focusPolicy() & Qt::TabFocus)))
        next = next->nextInFocusChain();
    return next;
}

} // namespace zrv::test
