#include "editor/editing/CListClipboardKeys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

CListClipboardKeys::CListClipboardKeys(QAbstractItemView* list) : QObject(list)
{
    list->installEventFilter(this);
}

bool CListClipboardKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete)
        return false;
    return key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
           key->matches(QKeySequence::Paste);
}
