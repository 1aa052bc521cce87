#pragma once

#include <functional>
#include <QObject>
#include <QString>

class CFindBar;
class CFortuneListModel;
class QTreeView;

// Finding in the main window's fortune list. The find bar's text and option
// set the list's find; each change keeps the current fortune current (and
// selected when it was) while it is still listed. F3 and Shift+F3 make the
// next and the previous match the current and only selected row, going round
// at the ends; Return in the bar's text goes to the list at the first match
// from the current row on. Closing the bar lists every fortune again with the
// current fortune kept in view.
class CListFind final : public QObject {
public:
    // whole gives the list every fortune's whole text before a find; shown
    // runs after the bar or the list's rows changed.
    CListFind(CFindBar& bar, CFortuneListModel& rows, QTreeView& list, std::function<void()> whole,
              std::function<void()> shown, QObject* parent);

    // The Find command: the bar shows, its text ready for typing; the list
    // shows what it finds.
    void Open();
    // Hides the bar; every fortune is listed.
    void Close();
    // The bar shows a text to find.
    bool Active() const;
    // "N of M fortunes": the fortunes that match, of all.
    QString StatusText() const;

private:
    void Find(const QString& text, bool filter);
    void Step(bool forward);
    void ToList();
    int CurrentFortune() const;
    void MakeCurrent(int fortune, bool select);

    CFindBar& mBar;
    CFortuneListModel& mRows;
    QTreeView& mList;
    std::function<void()> mWhole;
    std::function<void()> mShown;
};
