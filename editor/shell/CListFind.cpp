#include "editor/shell/CListFind.h"

#include "editor/shell/CFindBar.h"
#include "editor/shell/CFortuneListModel.h"

#include <QItemSelectionModel>
#include <QTreeView>

CListFind::CListFind(CFindBar& bar, CFortuneListModel& rows, QTreeView& list,
                     std::function<void()> whole, std::function<void()> shown, QObject* parent)
    : QObject(parent), mBar(bar), mRows(rows), mList(list), mWhole(std::move(whole)),
      mShown(std::move(shown))
{
    connect(&mBar, &CFindBar::changed, this, [this] { Find(mBar.Text(), mBar.Filter()); });
    connect(&mBar, &CFindBar::stepped, this, &CListFind::Step);
    connect(&mBar, &CFindBar::accepted, this, &CListFind::ToList);
    connect(&mBar, &CFindBar::closeAsked, this, &CListFind::Close);
}

// A bar opened again finds what it still holds.
void CListFind::Open()
{
    if (!mBar.isHidden())
        return mBar.Open();
    mBar.Open();
    Find(mBar.Text(), mBar.Filter());
}

void CListFind::Close()
{
    if (mBar.isHidden())
        return;
    const bool focused = mBar.isAncestorOf(mBar.focusWidget());
    mBar.hide();
    Find(QString(), mBar.Filter());
    if (focused)
        mList.setFocus(Qt::OtherFocusReason);
}

bool CListFind::Active() const
{
    return !mBar.isHidden() && !mRows.FindText().isEmpty();
}

QString CListFind::StatusText() const
{
    return QStringLiteral("%1 of %2 fortunes").arg(mRows.MatchCount()).arg(mRows.FortuneCount());
}

// The model lists its rows afresh with one reset, which clears the list's
// selection and current row; the current fortune is then given back.
void CListFind::Find(const QString& text, bool filter)
{
    const int current = CurrentFortune();
    const QModelIndex index = mList.currentIndex();
    const bool selected = index.isValid() && mList.selectionModel()->isSelected(index);
    if (!text.isEmpty())
        mWhole();
    mRows.SetFind(text, filter);
    if (current >= 0)
        MakeCurrent(current, selected);
    mShown();
}

void CListFind::Step(bool forward)
{
    const int next = mRows.NextMatch(CurrentFortune(), forward);
    if (next >= 0)
        MakeCurrent(next, true);
}

// The first match at or after the current fortune: the next after the one
// before it.
void CListFind::ToList()
{
    const int match = mRows.NextMatch(CurrentFortune() - 1, true);
    if (match >= 0)
        MakeCurrent(match, true);
    mList.setFocus(Qt::OtherFocusReason);
}

int CListFind::CurrentFortune() const
{
    const QModelIndex current = mList.currentIndex();
    return current.isValid() ? mRows.FortuneOf(current.row()) : -1;
}

void CListFind::MakeCurrent(int fortune, bool select)
{
    const int row = mRows.RowOf(fortune);
    if (row < 0)
        return;
    const QModelIndex index = mRows.index(row, 0);
    mList.selectionModel()->setCurrentIndex(index, select ? QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows
                                                          : QItemSelectionModel::NoUpdate);
    mList.scrollTo(index);
}
