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

QString CFortuneListModel::FirstLine(std::u16string_view fortune)
{
    const size_t lineFeed = fortune.find(u'\n');
    size_t end = lineFeed == std::u16string_view::npos ? fortune.size() : lineFeed;
    if (lineFeed != std::u16string_view::npos && end > 0 && fortune[end - 1] == u'\r')
        --end;
    return QString(reinterpret_cast<const QChar*>(fortune.data()), static_cast<qsizetype>(end));
}
