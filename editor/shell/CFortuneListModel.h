#pragma once

#include <cstdint>
#include <optional>
#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <vector>

// Rows of the fortune list: one per fortune in archive order, showing its
// first line; the row of fortune f (from 0) has the key "I" + (f + 1). The
// model keeps the fortunes' whole texts for finding; fortunes appended by
// their rows alone hold only their first lines until their whole texts are
// given. While a find filters the list, only the fortunes whose text holds
// the found text have rows, each still keyed by its own fortune's index.
class CFortuneListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int KeyRole = Qt::UserRole + 1;

    explicit CFortuneListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The fortunes' whole texts, as the archive hands them out.
    void SetRows(QList<QString> texts);
    void Clear();
    // Appends fortunes by their whole texts, or when not `whole` by their
    // rows (first lines).
    void Append(const QList<QString>& texts, bool whole = true);
    // One flag per row of `rows`, set for each fortune index (from 1) given;
    // nothing when an index is outside them.
    static std::optional<std::vector<bool>> Marked(const std::vector<int32_t>& indices,
                                                   int32_t rows);
    // Drops the fortunes whose flag is set; gone has one flag per fortune.
    void Remove(const std::vector<bool>& gone);
    // Puts whole text k at fortune indices[k] (from 1, ascending, numbered as
    // after the call); false, with nothing changed, when an index is outside.
    bool Insert(const std::vector<int32_t>& indices, const QList<QString>& texts);
    QString Key(int row) const;
    // The text row `row` shows: its fortune's first line.
    QString RowText(int row) const;
    int32_t FortuneCount() const { return static_cast<int32_t>(mTexts.size()); }
    // How many leading fortunes the model holds whole; the others follow
    // them, held by their rows.
    int32_t WholeCount() const { return mWhole; }
    // The whole texts of the fortunes from WholeCount() on.
    void CompleteTexts(const QList<QString>& rest);

    // The fortunes whose whole text contains `text` in any letter case match
    // it; with `filter` only they have rows. An empty text matches none and
    // leaves every fortune listed.
    void SetFind(const QString& text, bool filter);
    const QString& FindText() const { return mFind; }
    int32_t MatchCount() const { return static_cast<int32_t>(mMatches.size()); }
    // The fortune (from 0) of a row, and the row of a fortune: -1 when it has
    // none.
    int FortuneOf(int row) const;
    int RowOf(int fortune) const;
    // The first matching fortune after `fortune` (before it when not
    // forward), going round past the end; -1 when none matches. From -1 the
    // search starts before the first fortune (after the last).
    int NextMatch(int fortune, bool forward) const;

private:
    bool Filtered() const { return mFilter && !mFind.isEmpty(); }
    void Match();
    void Reset(QList<QString> texts);

    QList<QString> mTexts;
    int32_t mWhole = 0;
    QString mFind;
    bool mFilter = false;
    std::vector<int> mMatches; // fortunes, ascending
};
