#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QVariant>

// A node of TreeModel: one map from role to value per column. A node owns
// its children.
class TreeItem
{
public:
    using CellData = QMap<int, QVariant>;

    explicit TreeItem(const QList<CellData> &itemData, TreeItem *parent = nullptr);
    ~TreeItem();
    TreeItem(const TreeItem &) = delete;
    TreeItem &operator=(const TreeItem &) = delete;

    TreeItem *childAt(int row) const;
    int childCount() const { return m_children.size(); }
    int columnCount() const { return m_itemData.size(); }
    QVariant value(int column, int role) const;
    bool setValue(int column, const QVariant &value, int role);
    // New children with `columns` cells holding an empty display text.
    bool insertChildItems(int position, int count, int columns);
    bool removeChildItems(int position, int count);
    TreeItem *parentNode() const { return m_parent; }
    int rowInParent() const;

private:
    QList<TreeItem *> m_children;
    QList<CellData> m_itemData;
    TreeItem *m_parent;
};

// The small editable tree under the check-box trees of the measurement
// windows: every cell keeps a value per role, so a display text, a check
// state and any user roles live side by side.
class TreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit TreeModel(const QStringList &headers, QObject *parent = nullptr);
    ~TreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool insertRows(int position, int rows, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int position, int rows, const QModelIndex &parent = QModelIndex()) override;

    TreeItem *itemFromIndex(const QModelIndex &index) const;

private:
    TreeItem *m_root;
};
