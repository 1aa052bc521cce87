#pragma once

#include <optional>
#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <vector>

// Rows of the fortune list: one per fortune in archive order, showing its
// first line. Row r (from 0) has the key "I" + (r + 1).
class CFortuneListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int KeyRole = Qt::UserRole + 1;

    explicit CFortuneListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void SetRows(QList<QString> texts);
    void Clear();
    void Append(const QList<QString>& texts);
    // One flag per row of `rows`, set for each fortune index (from 1) given;
    // nothing when an index is outside them.
    static std::optional<std::vector<bool>> Marked(const std::vector<int32_t>& indices,
                                                   int32_t rows);
    // Drops the rows whose flag is set; gone has one flag per row.
    void Remove(const std::vector<bool>& gone);
    QString Key(int row) const;
    const QList<QString>& Rows() const { return mTexts; }

private:
    QList<QString> mTexts;
};
