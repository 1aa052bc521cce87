#include "editor/shell/CFortuneListModel.h"

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

QString CFortuneListModel::Key(int row) const
{
    return u'I' + QString::number(row + 1);
}
