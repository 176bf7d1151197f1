#pragma once
// A two-column tree ("Property", "Value") of properties. Rows of modified
// properties are bold; rows of disabled properties, and of everything under a
// disabled property, are grey and cannot be edited. Rows whose manager has an
// editor factory in this browser are edited in the value column: one click on
// the value, a double click on the row, or F2 opens the editor; rows without
// one are read-only. Group rows show no value. New rows start expanded.

#include "qtpropertybrowser.h"

#include <QColor>

class QTreeWidget;
class QTreeWidgetItem;

class QtTreePropertyBrowser : public QtAbstractPropertyBrowser
{
    Q_OBJECT
public:
    // How the "Property" column is sized; the "Value" column takes the rest.
    enum ResizeMode { Interactive, Stretch, Fixed, ResizeToContents };
    Q_ENUM(ResizeMode)

    explicit QtTreePropertyBrowser(QWidget *parent = nullptr);
    ~QtTreePropertyBrowser() override;

    int indentation() const;
    void setIndentation(int indentation);
    bool rootIsDecorated() const;
    void setRootIsDecorated(bool show);
    // On by default.
    bool alternatingRowColors() const;
    void setAlternatingRowColors(bool enable);
    bool isHeaderVisible() const;
    void setHeaderVisible(bool visible);
    ResizeMode resizeMode() const { return m_resizeMode; }
    void setResizeMode(ResizeMode mode);
    // Width of the "Property" column.
    int splitterPosition() const;
    void setSplitterPosition(int position);

    bool isExpanded(QtBrowserItem *item) const;
    void setExpanded(QtBrowserItem *item, bool expanded);
    // An invalid colour gives the row back the default (alternating) look.
    QColor backgroundColor(QtBrowserItem *item) const { return m_backgrounds.value(item); }
    void setBackgroundColor(QtBrowserItem *item, const QColor &color);
    // Whether the row opens an editor now (factory attached, row enabled).
    bool isItemEditable(QtBrowserItem *item) const;
    // Opens the row's editor in the value column, when it has one.
    void editItem(QtBrowserItem *item);

    // Vertical scroll position of the tree, to keep it across a rebuild.
    int scrollPosition() const;
    void setScrollPosition(int position);

    QTreeWidget *treeWidget() const;
    QtBrowserItem *itemOfRow(const QTreeWidgetItem *row) const { return m_itemOfRow.value(row); }
    QTreeWidgetItem *rowOfItem(QtBrowserItem *item) const { return m_rowOfItem.value(item); }

signals:
    void collapsed(QtBrowserItem *item);
    void expanded(QtBrowserItem *item);

protected:
    void itemInserted(QtBrowserItem *item, QtBrowserItem *afterItem) override;
    void itemRemoved(QtBrowserItem *item) override;
    void itemChanged(QtBrowserItem *item) override;
    void editorFactoryChanged(QtAbstractPropertyManager *manager) override;
    void currentItemSet(QtBrowserItem *item) override;

private:
    class Tree;
    class Delegate;

    bool isRowEnabled(QtBrowserItem *item) const;
    void updateRow(QtBrowserItem *item);
    void updateSubtree(QtBrowserItem *item);
    QWidget *createRowEditor(QtBrowserItem *item, QWidget *parent);

    Tree *m_tree;
    Delegate *m_delegate;
    ResizeMode m_resizeMode = Stretch;
    QHash<const QTreeWidgetItem *, QtBrowserItem *> m_itemOfRow;
    QHash<QtBrowserItem *, QTreeWidgetItem *> m_rowOfItem;
    QHash<QtBrowserItem *, QColor> m_backgrounds;
};
