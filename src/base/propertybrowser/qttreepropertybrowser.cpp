#include "qttreepropertybrowser.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace {

// Row data: whether the row was last shown enabled.
constexpr int EnabledShownRole = Qt::UserRole + 1;
constexpr int NameColumn = 0;
constexpr int ValueColumn = 1;

QHeaderView::ResizeMode headerMode(QtTreePropertyBrowser::ResizeMode mode)
{
    switch (mode) {
    case QtTreePropertyBrowser::Interactive:
        return QHeaderView::Interactive;
    case QtTreePropertyBrowser::Fixed:
        return QHeaderView::Fixed;
    case QtTreePropertyBrowser::ResizeToContents:
        return QHeaderView::ResizeToContents;
    case QtTreePropertyBrowser::Stretch:
        break;
    }
    return QHeaderView::Stretch;
}

} // namespace

// The tree widget; every edit request on a row goes to its value column.
class QtTreePropertyBrowser::Tree : public QTreeWidget
{
public:
    explicit Tree(QWidget *parent) : QTreeWidget(parent) {}

    QTreeWidgetItem *rowAt(const QModelIndex &index) const { return itemFromIndex(index); }

    // Lays out rows and scroll bars now instead of on the next event-loop turn.
    void layoutNow()
    {
        executeDelayedItemsLayout();
        updateGeometries();
    }

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override
    {
        if (index.isValid() && index.column() != ValueColumn)
            return QTreeWidget::edit(index.sibling(index.row(), ValueColumn), trigger, event);
        return QTreeWidget::edit(index, trigger, event);
    }
};

// Asks the browser for editors, keeps track of the open ones and draws the
// grid between cells.
class QtTreePropertyBrowser::Delegate : public QStyledItemDelegate
{
public:
    Delegate(QtTreePropertyBrowser *browser, Tree *tree)
        : QStyledItemDelegate(browser), m_browser(browser), m_tree(tree)
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        if (index.column() != ValueColumn)
            return nullptr;
        QtBrowserItem *item = m_browser->itemOfRow(m_tree->rowAt(index));
        QWidget *editor = item ? m_browser->createRowEditor(item, parent) : nullptr;
        if (!editor)
            return nullptr;
        m_open.insert(editor, item);
        connect(editor, &QObject::destroyed, this, [this](QObject *object) {
            m_open.remove(static_cast<QWidget *>(object));
        });
        return editor;
    }

    // Editors apply their values themselves; nothing goes through the model.
    void setEditorData(QWidget *, const QModelIndex &) const override {}

    // Typed text not yet taken by a spin box is taken when the view commits.
    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &) const override
    {
        if (auto *spinBox = qobject_cast<QAbstractSpinBox *>(editor))
            spinBox->interpretText();
    }

    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &) const override
    {
        editor->setGeometry(option.rect);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        const QColor grid = static_cast<QRgb>(style->styleHint(QStyle::SH_Table_GridLineColor, &option));
        painter->save();
        painter->setPen(grid);
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        if (index.column() == NameColumn)
            painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (m_editorHeight < 0)
            m_editorHeight = QSpinBox().minimumSizeHint().height();
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(qMax(size.height() + 4, m_editorHeight));
        return size;
    }

    void closeEditorOf(QtBrowserItem *item)
    {
        const QList<QWidget *> editors = m_open.keys(item);
        for (QWidget *editor : editors) {
            m_open.remove(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

    bool hasEditor(QtBrowserItem *item) const { return !m_open.keys(item).isEmpty(); }

    // Commits and closes every open editor.
    void closeAll()
    {
        const QList<QWidget *> editors = m_open.keys();
        for (QWidget *editor : editors) {
            m_open.remove(editor);
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

    void forgetItem(QtBrowserItem *item)
    {
        const QList<QWidget *> editors = m_open.keys(item);
        for (QWidget *editor : editors)
            m_open.remove(editor);
    }

private:
    QtTreePropertyBrowser *m_browser;
    Tree *m_tree;
    mutable QHash<QWidget *, QtBrowserItem *> m_open;
    mutable int m_editorHeight = -1;
};

QtTreePropertyBrowser::QtTreePropertyBrowser(QWidget *parent)
    : QtAbstractPropertyBrowser(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tree = new Tree(this);
    m_delegate = new Delegate(this, m_tree);
    layout->addWidget(m_tree);
    setFocusProxy(m_tree);

    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({tr("Property"), tr("Value")});
    m_tree->setItemDelegate(m_delegate);
    m_tree->setAlternatingRowColors(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_tree->header()->setSectionsMovable(false);
    m_tree->header()->setStretchLastSection(true);
    m_tree->header()->setSectionResizeMode(NameColumn, headerMode(m_resizeMode));

    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *row, int column) {
        if (column == ValueColumn)
            editItem(itemOfRow(row));
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { setCurrentItem(itemOfRow(current)); });
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *row) {
        if (QtBrowserItem *item = itemOfRow(row))
            emit expanded(item);
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *row) {
        if (QtBrowserItem *item = itemOfRow(row))
            emit collapsed(item);
    });
}

QtTreePropertyBrowser::~QtTreePropertyBrowser()
{
    // Take the rows down while this class can still handle them.
    clear();
}

QTreeWidget *QtTreePropertyBrowser::treeWidget() const
{
    return m_tree;
}

int QtTreePropertyBrowser::indentation() const
{
    return m_tree->indentation();
}

void QtTreePropertyBrowser::setIndentation(int indentation)
{
    m_tree->setIndentation(indentation);
}

bool QtTreePropertyBrowser::rootIsDecorated() const
{
    return m_tree->rootIsDecorated();
}

void QtTreePropertyBrowser::setRootIsDecorated(bool show)
{
    m_tree->setRootIsDecorated(show);
}

bool QtTreePropertyBrowser::alternatingRowColors() const
{
    return m_tree->alternatingRowColors();
}

void QtTreePropertyBrowser::setAlternatingRowColors(bool enable)
{
    m_tree->setAlternatingRowColors(enable);
}

bool QtTreePropertyBrowser::isHeaderVisible() const
{
    return !m_tree->isHeaderHidden();
}

void QtTreePropertyBrowser::setHeaderVisible(bool visible)
{
    m_tree->setHeaderHidden(!visible);
}

void QtTreePropertyBrowser::setResizeMode(ResizeMode mode)
{
    m_resizeMode = mode;
    m_tree->header()->setSectionResizeMode(NameColumn, headerMode(mode));
}

int QtTreePropertyBrowser::splitterPosition() const
{
    return m_tree->header()->sectionSize(NameColumn);
}

void QtTreePropertyBrowser::setSplitterPosition(int position)
{
    m_tree->header()->resizeSection(NameColumn, position);
}

bool QtTreePropertyBrowser::isExpanded(QtBrowserItem *item) const
{
    QTreeWidgetItem *row = rowOfItem(item);
    return row && row->isExpanded();
}

void QtTreePropertyBrowser::setExpanded(QtBrowserItem *item, bool expanded)
{
    if (QTreeWidgetItem *row = rowOfItem(item))
        row->setExpanded(expanded);
}

void QtTreePropertyBrowser::setBackgroundColor(QtBrowserItem *item, const QColor &color)
{
    QTreeWidgetItem *row = rowOfItem(item);
    if (!row)
        return;
    if (color.isValid())
        m_backgrounds.insert(item, color);
    else
        m_backgrounds.remove(item);
    const QVariant brush = color.isValid() ? QVariant(QBrush(color)) : QVariant();
    row->setData(NameColumn, Qt::BackgroundRole, brush);
    row->setData(ValueColumn, Qt::BackgroundRole, brush);
}

bool QtTreePropertyBrowser::isRowEnabled(QtBrowserItem *item) const
{
    for (QtBrowserItem *at = item; at; at = at->parent()) {
        if (!at->property()->isEnabled())
            return false;
    }
    return true;
}

bool QtTreePropertyBrowser::isItemEditable(QtBrowserItem *item) const
{
    return item && m_rowOfItem.contains(item) && item->property()->hasValue()
           && hasEditorFactory(item->property()) && isRowEnabled(item);
}

void QtTreePropertyBrowser::editItem(QtBrowserItem *item)
{
    if (!isItemEditable(item) || m_delegate->hasEditor(item))
        return;
    m_delegate->closeAll();
    QTreeWidgetItem *row = rowOfItem(item);
    m_tree->setCurrentItem(row);
    m_tree->editItem(row, ValueColumn);
}

QWidget *QtTreePropertyBrowser::createRowEditor(QtBrowserItem *item, QWidget *parent)
{
    return isItemEditable(item) ? createEditor(item->property(), parent) : nullptr;
}

int QtTreePropertyBrowser::scrollPosition() const
{
    return m_tree->verticalScrollBar()->value();
}

void QtTreePropertyBrowser::setScrollPosition(int position)
{
    m_tree->layoutNow();
    m_tree->verticalScrollBar()->setValue(position);
}

void QtTreePropertyBrowser::updateRow(QtBrowserItem *item)
{
    QTreeWidgetItem *row = rowOfItem(item);
    if (!row)
        return;
    const QtProperty *property = item->property();
    row->setText(NameColumn, property->propertyName());
    // Without a tooltip of its own a row shows its whole text where the
    // column is too narrow for it.
    const QString toolTip = property->toolTip();
    row->setToolTip(NameColumn, toolTip.isEmpty() ? property->propertyName() : toolTip);
    row->setToolTip(ValueColumn, toolTip.isEmpty() && property->hasValue() ? property->valueText() : toolTip);
    if (property->hasValue()) {
        row->setText(ValueColumn, property->valueText());
        row->setIcon(ValueColumn, property->valueIcon());
    }

    QVariant font;
    if (property->isModified()) {
        QFont bold = m_tree->font();
        bold.setBold(true);
        font = bold;
    }
    const bool enabled = isRowEnabled(item);
    const QVariant foreground = enabled ? QVariant() : QVariant(palette().brush(QPalette::Disabled, QPalette::Text));
    for (int column : {NameColumn, ValueColumn}) {
        row->setData(column, Qt::FontRole, font);
        row->setData(column, Qt::ForegroundRole, foreground);
    }
    row->setData(NameColumn, EnabledShownRole, enabled);

    const bool editable = isItemEditable(item);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | (editable ? Qt::ItemIsEditable : Qt::NoItemFlags));
    if (!editable)
        m_delegate->closeEditorOf(item);
}

void QtTreePropertyBrowser::updateSubtree(QtBrowserItem *item)
{
    updateRow(item);
    const QList<QtBrowserItem *> children = item->children();
    for (QtBrowserItem *child : children)
        updateSubtree(child);
}

void QtTreePropertyBrowser::itemInserted(QtBrowserItem *item, QtBrowserItem *afterItem)
{
    auto *row = new QTreeWidgetItem;
    QTreeWidgetItem *afterRow = rowOfItem(afterItem);
    if (QTreeWidgetItem *parentRow = rowOfItem(item->parent())) {
        parentRow->insertChild(afterRow ? parentRow->indexOfChild(afterRow) + 1 : 0, row);
    } else {
        m_tree->insertTopLevelItem(afterRow ? m_tree->indexOfTopLevelItem(afterRow) + 1 : 0, row);
    }
    // Kept by the tree also while the row has no children yet.
    row->setExpanded(true);
    m_itemOfRow.insert(row, item);
    m_rowOfItem.insert(item, row);
    updateRow(item);
}

void QtTreePropertyBrowser::itemRemoved(QtBrowserItem *item)
{
    m_delegate->forgetItem(item);
    m_backgrounds.remove(item);
    QTreeWidgetItem *row = m_rowOfItem.take(item);
    if (!row)
        return;
    m_itemOfRow.remove(row);
    delete row;
}

void QtTreePropertyBrowser::itemChanged(QtBrowserItem *item)
{
    QTreeWidgetItem *row = rowOfItem(item);
    if (!row)
        return;
    const bool wasEnabled = row->data(NameColumn, EnabledShownRole).toBool();
    updateRow(item);
    if (wasEnabled != isRowEnabled(item)) {
        const QList<QtBrowserItem *> children = item->children();
        for (QtBrowserItem *child : children)
            updateSubtree(child);
    }
}

void QtTreePropertyBrowser::editorFactoryChanged(QtAbstractPropertyManager *manager)
{
    const QList<QtBrowserItem *> shown = m_rowOfItem.keys();
    for (QtBrowserItem *item : shown) {
        if (item->property()->propertyManager() == manager)
            updateRow(item);
    }
}

void QtTreePropertyBrowser::currentItemSet(QtBrowserItem *item)
{
    QTreeWidgetItem *row = rowOfItem(item);
    if (m_tree->currentItem() != row)
        m_tree->setCurrentItem(row);
}
