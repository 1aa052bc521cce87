#include "editor/shell/CFortuneListModel.h"

#include "editor/editing/modFortuneRows.h"

#include <algorithm>

CFortuneListModel::CFortuneListModel(QObject* parent) : QAbstractListModel(parent) {}

int CFortuneListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(Filtered() ? mMatches.size() : mTexts.size());
}

QVariant CFortuneListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return RowText(index.row());
    if (role == KeyRole)
        return Key(index.row());
    return {};
}

QVariant CFortuneListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("Fortunes");
    return {};
}

// One reset whatever changed: the view learns of it with one signal, not one
// per row.
void CFortuneListModel::Reset(QList<QString> texts)
{
    beginResetModel();
    mTexts = std::move(texts);
    Match();
    endResetModel();
}

void CFortuneListModel::SetRows(QList<QString> texts)
{
    mWhole = static_cast<int32_t>(texts.size());
    Reset(std::move(texts));
}

void CFortuneListModel::Clear()
{
    SetRows({});
}

// The model lets go of its texts first, so that appending copies none.
void CFortuneListModel::Append(const QList<QString>& texts, bool whole)
{
    QList<QString> all = std::move(mTexts);
    mTexts.clear();
    if (whole && mWhole == all.size())
        mWhole += static_cast<int32_t>(texts.size());
    all.append(texts);
    Reset(std::move(all));
}

void CFortuneListModel::CompleteTexts(const QList<QString>& rest)
{
    QList<QString> all = std::move(mTexts);
    mTexts.clear();
    all.resize(mWhole);
    all.append(rest);
    mWhole = static_cast<int32_t>(all.size());
    Reset(std::move(all));
}

std::optional<std::vector<bool>> CFortuneListModel::Marked(const std::vector<int32_t>& indices,
                                                           int32_t rows)
{
    std::vector<bool> marked(static_cast<size_t>(std::max(rows, 0)), false);
    for (const int32_t index : indices) {
        if (index < 1 || index > rows)
            return std::nullopt;
        marked[static_cast<size_t>(index - 1)] = true;
    }
    return marked;
}

void CFortuneListModel::Remove(const std::vector<bool>& gone)
{
    QList<QString> kept;
    kept.reserve(mTexts.size());
    int32_t whole = 0;
    for (qsizetype fortune = 0; fortune < mTexts.size(); ++fortune) {
        if (static_cast<size_t>(fortune) < gone.size() && gone[static_cast<size_t>(fortune)])
            continue;
        kept.append(mTexts[fortune]);
        whole += fortune < mWhole ? 1 : 0;
    }
    mWhole = whole;
    Reset(std::move(kept));
}

bool CFortuneListModel::Insert(const std::vector<int32_t>& indices, const QList<QString>& texts)
{
    const qsizetype count = mTexts.size() + texts.size();
    if (static_cast<qsizetype>(indices.size()) != texts.size() ||
        !std::is_sorted(indices.begin(), indices.end(), std::less_equal<>()) ||
        (!indices.empty() && (indices.front() < 1 || indices.back() > count)))
        return false;
    QList<QString> all;
    all.reserve(count);
    qsizetype kept = 0;
    int32_t whole = 0; // leading fortunes held whole
    bool leading = true;
    for (size_t k = 0; k <= indices.size(); ++k) {
        const qsizetype until = k < indices.size() ? indices[k] - 1 : count;
        for (; all.size() < until; ++kept) {
            leading = leading && kept < mWhole;
            whole += leading ? 1 : 0;
            all.append(mTexts[kept]);
        }
        if (k < indices.size()) {
            whole += leading ? 1 : 0;
            all.append(texts[static_cast<qsizetype>(k)]);
        }
    }
    mWhole = whole;
    Reset(std::move(all));
    return true;
}

QString CFortuneListModel::Key(int row) const
{
    return u'I' + QString::number(FortuneOf(row) + 1);
}

QString CFortuneListModel::RowText(int row) const
{
    const int fortune = FortuneOf(row);
    if (fortune < 0)
        return {};
    const QString& text = mTexts[fortune];
    return modFortuneRows::FirstLine(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

void CFortuneListModel::SetFind(const QString& text, bool filter)
{
    beginResetModel();
    mFind = text;
    mFilter = filter;
    Match();
    endResetModel();
}

// One pass over the texts held, each compared in place.
void CFortuneListModel::Match()
{
    mMatches.clear();
    if (mFind.isEmpty())
        return;
    for (qsizetype fortune = 0; fortune < mTexts.size(); ++fortune) {
        if (mTexts[fortune].contains(mFind, Qt::CaseInsensitive))
            mMatches.push_back(static_cast<int>(fortune));
    }
}

int CFortuneListModel::FortuneOf(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return Filtered() ? mMatches[static_cast<size_t>(row)] : row;
}

int CFortuneListModel::RowOf(int fortune) const
{
    if (fortune < 0 || fortune >= mTexts.size())
        return -1;
    if (!Filtered())
        return fortune;
    const auto found = std::lower_bound(mMatches.begin(), mMatches.end(), fortune);
    return found != mMatches.end() && *found == fortune ? static_cast<int>(found - mMatches.begin())
                                                        : -1;
}

int CFortuneListModel::NextMatch(int fortune, bool forward) const
{
    if (mMatches.empty())
        return -1;
    if (forward) {
        const auto next = std::upper_bound(mMatches.begin(), mMatches.end(), fortune);
        return next != mMatches.end() ? *next : mMatches.front();
    }
    const auto at = std::lower_bound(mMatches.begin(), mMatches.end(), fortune);
    return at != mMatches.begin() ? *std::prev(at) : mMatches.back();
}
