#include "editor/shell/CFortuneListModel.h"

#include <algorithm>

CFortuneListModel::CFortuneListModel(QObject* parent) : QAbstractListModel(parent) {}

int CFortuneListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(mTexts.size());
}

QVariant CFortuneListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= mTexts.size())
        return {};
    if (role == Qt::DisplayRole)
        return mTexts[index.row()];
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

void CFortuneListModel::SetRows(QList<QString> texts)
{
    beginResetModel();
    mTexts = std::move(texts);
    endResetModel();
}

void CFortuneListModel::Clear()
{
    SetRows({});
}

// The model lets go of its rows first, so that appending copies none.
void CFortuneListModel::Append(const QList<QString>& texts)
{
    QList<QString> rows = std::move(mTexts);
    mTexts.clear();
    rows.append(texts);
    SetRows(std::move(rows));
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
    QList<QString> rows;
    rows.reserve(mTexts.size());
    for (qsizetype row = 0; row < mTexts.size(); ++row) {
        if (static_cast<size_t>(row) >= gone.size() || !gone[static_cast<size_t>(row)])
            rows.append(mTexts[row]);
    }
    SetRows(std::move(rows));
}

QString CFortuneListModel::Key(int row) const
{
    return u'I' + QString::number(row + 1);
}
