#pragma once

#include <QObject>

class QAbstractItemView;

// Swallows the clipboard keys on their way to a list: the list would put the
// current row's text on the clipboard itself. The keys are the clipboard
// commands' shortcuts, and a disabled command must leave the clipboard as it
// is. The Delete key stays with the list's owner. Owned by the list.
class CListClipboardKeys final : public QObject {
public:
    explicit CListClipboardKeys(QAbstractItemView* list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
