#include "treemodel.h"

TreeItem::TreeItem(const QList<CellData> &itemData, TreeItem *parent)
    : m_itemData(itemData)
    , m_parent(parent)
{
}

TreeItem::~TreeItem()
{
    qDeleteAll(m_children);
}

TreeItem *TreeItem::childAt(int row) const
{
    return row >= 0 && row < m_children.size() ? m_children.at(row) : nullptr;
}

QVariant TreeItem::value(int column, int role) const
{
    if (column < 0 || column >= m_itemData.size())
        return QVariant();
    return m_itemData.at(column).value(role);
}

bool TreeItem::setValue(int column, const QVariant &value, int role)
{
    if (column < 0 || column >= m_itemData.size())
        return false;
    m_itemData[column].insert(role, value);
    return true;
}

bool TreeItem::insertChildItems(int position, int count, int columns)
{
    if (position < 0 || position > m_children.size())
        return false;
    for (int row = 0; row < count; ++row) {
        QList<CellData> cells;
        for (int column = 0; column < columns; ++column)
            cells << CellData{{Qt::DisplayRole, QString()}};
        m_children.insert(position, new TreeItem(cells, this));
    }
    return true;
}

bool TreeItem::removeChildItems(int position, int count)
{
    if (position < 0 || count < 0 || position + count > m_children.size())
        return false;
    for (int row = 0; row < count; ++row)
        delete m_children.takeAt(position);
    return true;
}

int TreeItem::rowInParent() const
{
    return m_parent ? m_parent->m_children.indexOf(const_cast<TreeItem *>(this)) : 0;
}

TreeModel::TreeModel(const QStringList &headers, QObject *parent)
    : QAbstractItemModel(parent)
{
    QList<TreeItem::CellData> cells;
    for (const QString &header : headers)
        cells << TreeItem::CellData{{Qt::DisplayRole, header}};
    m_root = new TreeItem(cells);
}

TreeModel::~TreeModel()
{
    delete m_root;
}

TreeItem *TreeModel::itemFromIndex(const QModelIndex &index) const
{
    if (index.isValid()) {
        if (auto *item = static_cast<TreeItem *>(index.internalPointer()))
            return item;
    }
    return m_root;
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    TreeItem *child = itemFromIndex(parent)->childAt(row);
    return child ? createIndex(row, column, child) : QModelIndex();
}

QModelIndex TreeModel::parent(const QModelIndex &index) const
{
    if (!index.isValid())
        return QModelIndex();
    TreeItem *parentItem = itemFromIndex(index)->parentNode();
    if (!parentItem || parentItem == m_root)
        return QModelIndex();
    return createIndex(parentItem->rowInParent(), 0, parentItem);
}

int TreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return itemFromIndex(parent)->childCount();
}

int TreeModel::columnCount(const QModelIndex &parent) const
{
    return itemFromIndex(parent)->columnCount();
}

QVariant TreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    return itemFromIndex(index)->value(index.column(), role);
}

QVariant TreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_root->value(section, Qt::DisplayRole);
    return QVariant();
}

Qt::ItemFlags TreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractItemModel::flags(index) | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate;
}

bool TreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    if (!itemFromIndex(index)->setValue(index.column(), value, role))
        return false;
    emit dataChanged(index, index, {role});
    return true;
}

bool TreeModel::insertRows(int position, int rows, const QModelIndex &parent)
{
    // Checked before the views hear of anything.
    if (parent.column() > 0)
        return false;
    TreeItem *parentItem = itemFromIndex(parent);
    if (rows < 1 || position < 0 || position > parentItem->childCount())
        return false;
    beginInsertRows(parent, position, position + rows - 1);
    const bool done = parentItem->insertChildItems(position, rows, m_root->columnCount());
    endInsertRows();
    return done;
}

bool TreeModel::removeRows(int position, int rows, const QModelIndex &parent)
{
    if (parent.column() > 0)
        return false;
    TreeItem *parentItem = itemFromIndex(parent);
    if (rows < 1 || position < 0 || position + rows > parentItem->childCount())
        return false;
    beginRemoveRows(parent, position, position + rows - 1);
    const bool done = parentItem->removeChildItems(position, rows);
    endRemoveRows();
    return done;
}
