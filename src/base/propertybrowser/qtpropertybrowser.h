#pragma once
// Property trees: properties, their managers, browsers that show them and the
// editor factories that browsers use to edit them.
//
// Ownership: every property belongs to the one manager that created it.
// Deleting a manager (or calling clear()) deletes its properties; a property
// that is deleted leaves every parent it was added to and every browser that
// shows it. Browsers and factories own nothing of the managers.

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>

#include <functional>

class QtAbstractPropertyManager;
class QtAbstractPropertyBrowser;
class QtAbstractEditorFactoryBase;

// One node of a property tree: a name, a value shown as text and icon (kept by
// the manager), a tool tip, enabled and modified states and sub-properties.
// The same property may be a sub-property of several parents.
class QtProperty
{
public:
    virtual ~QtProperty();

    QtAbstractPropertyManager *propertyManager() const { return m_manager; }

    QString propertyName() const { return m_name; }
    void setPropertyName(const QString &name);
    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString &text);
    // A disabled property cannot be edited; browsers show it and its
    // sub-properties grey.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // Modified properties are shown bold.
    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    bool hasValue() const;
    QString valueText() const;
    QIcon valueIcon() const;

    QList<QtProperty *> subProperties() const { return m_children; }
    // Appends a sub-property. Ignored for null, for a property already here,
    // and for this property or one of its ancestors (no cycles).
    void addSubProperty(QtProperty *property);
    // Inserts a sub-property right after `after` (at the front when `after` is
    // null, at the end when `after` is not a sub-property). Same checks as
    // addSubProperty.
    void insertSubProperty(QtProperty *property, QtProperty *after);
    void removeSubProperty(QtProperty *property);

protected:
    explicit QtProperty(QtAbstractPropertyManager *manager);
    void propertyChanged();

private:
    Q_DISABLE_COPY(QtProperty)
    bool isAncestorOrSelf(const QtProperty *other) const;

    QtAbstractPropertyManager *m_manager;
    QString m_name;
    QString m_toolTip;
    bool m_enabled = true;
    bool m_modified = false;
    QList<QtProperty *> m_children;
    QList<QtProperty *> m_parents;

    friend class QtAbstractPropertyManager;
};

// Base of the typed managers. A manager creates properties, keeps their values
// and tells everyone who shows them about changes.
//
// propertyChanged(property) is emitted whenever anything a browser shows of
// the property changes: its value, name, tool tip, enabled or modified state,
// enum names or icons, range or decimals. It is emitted before the typed
// valueChanged signal of the same change.
//
// User edits: the commit of an editor made by an editor factory is the only
// road of a user edit. While the value of such a commit is being applied,
// isUserEdit() is true (during propertyChanged, valueChanged and valueEdited
// of that change, and only for them), and the typed manager emits
// valueEdited(property, value) after valueChanged. A programmatic setValue,
// also one made from a handler of the user's change, never counts as a user
// edit. Setting a value that equals the current one (after clamping) emits
// nothing at all.
class QtAbstractPropertyManager : public QObject
{
    Q_OBJECT
public:
    explicit QtAbstractPropertyManager(QObject *parent = nullptr);
    ~QtAbstractPropertyManager() override;

    QSet<QtProperty *> properties() const { return m_properties; }
    // Deletes every property of this manager.
    void clear();
    QtProperty *addProperty(const QString &name = QString());

    bool isUserEdit() const { return m_userEdit; }

    // Whether the user may edit the values of this manager's properties (their
    // rows are marked so); false until set.
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable) { m_editable = editable; }

signals:
    void propertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after);
    void propertyChanged(QtProperty *property);
    void propertyRemoved(QtProperty *property, QtProperty *parent);
    // Emitted while the property is still whole, just before it goes away.
    void propertyDestroyed(QtProperty *property);

protected:
    virtual bool hasValue(const QtProperty *property) const;
    virtual QIcon valueIcon(const QtProperty *property) const;
    virtual QString valueText(const QtProperty *property) const;
    virtual void initializeProperty(QtProperty *property) = 0;
    virtual void uninitializeProperty(QtProperty *property);
    // Makes the object behind addProperty(); override to keep extra data in a
    // subclass of QtProperty.
    virtual QtProperty *createProperty();

    bool owns(const QtProperty *property) const { return m_properties.contains(const_cast<QtProperty *>(property)); }

    // Emits propertyChanged, then `changed(property, value)` and, for the
    // user's edit through an editor, `edited(property, value)`; the typed
    // signals only while the property still exists. Without `edited` the
    // change is never a user edit.
    template <class Manager, class Arg, class Value>
    void emitValueChange(QtProperty *property, const Value &value, void (Manager::*changed)(QtProperty *, Arg),
                         void (Manager::*edited)(QtProperty *, Arg) = nullptr)
    {
        const bool userEdit = takeUserEdit(property) && edited;
        notifyValueChange(property, userEdit, [&] {
            const QPointer<QtAbstractPropertyManager> self(this);
            (static_cast<Manager *>(this)->*changed)(property, value);
            if (userEdit && self && owns(property))
                (static_cast<Manager *>(this)->*edited)(property, value);
        });
    }
    // Emits propertyChanged for a change that is not a value change.
    void notifyPropertyChanged(QtProperty *property);

private:
    class EmitScope;
    bool takeUserEdit(QtProperty *property);
    void notifyValueChange(QtProperty *property, bool userEdit, const std::function<void()> &emitTyped);
    void propertyGone(QtProperty *property);

    QSet<QtProperty *> m_properties;
    QtProperty *m_pendingEdit = nullptr;
    bool m_userEdit = false;
    bool m_editable = false;

    friend class QtProperty;
    friend class QtAbstractEditorFactoryBase;
};

// One row of a browser: a property at one place in the browser's tree.
class QtBrowserItem
{
public:
    QtProperty *property() const { return m_property; }
    QtBrowserItem *parent() const { return m_parent; }
    QList<QtBrowserItem *> children() const { return m_children; }
    QtAbstractPropertyBrowser *browser() const { return m_browser; }

private:
    QtBrowserItem(QtAbstractPropertyBrowser *browser, QtProperty *property, QtBrowserItem *parent);
    ~QtBrowserItem() = default;
    Q_DISABLE_COPY(QtBrowserItem)

    QtAbstractPropertyBrowser *m_browser;
    QtProperty *m_property;
    QtBrowserItem *m_parent;
    QList<QtBrowserItem *> m_children;

    friend class QtAbstractPropertyBrowser;
};

// Base of the editor factories. A factory makes editor widgets for the
// properties of the managers it is attached to (through a browser's
// setFactoryForManager) and applies the editor's changes as user edits.
class QtAbstractEditorFactoryBase : public QObject
{
    Q_OBJECT
public:
    // An editor for the property, or null when its manager is not attached.
    virtual QWidget *createEditor(QtProperty *property, QWidget *parent) = 0;

protected:
    explicit QtAbstractEditorFactoryBase(QObject *parent = nullptr);

    // Applies `apply` (which sets the property's value) as the user's edit.
    // Refused for a disabled property. Returns whether the property still
    // exists afterwards.
    static bool commitUserEdit(QtProperty *property, const std::function<void()> &apply);

    // Editors are tracked per property until they are destroyed.
    void registerEditor(QtProperty *property, QWidget *editor);
    QList<QWidget *> editorsOf(QtProperty *property) const { return m_editors.value(property); }
    QtProperty *propertyOf(QObject *editor) const { return m_editorProperty.value(editor); }
    void forgetProperty(QtProperty *property);

    // Runs `show(editor)` on each editor of the property of class Editor,
    // with the editor's signals blocked.
    template <class Editor, class Show>
    void updateEditors(QtProperty *property, Show show) const
    {
        const QList<QWidget *> editors = editorsOf(property);
        for (QWidget *widget : editors) {
            if (auto *editor = qobject_cast<Editor *>(widget)) {
                const QSignalBlocker blocker(editor);
                show(editor);
            }
        }
    }

    // Forgets the editors of every property of the manager.
    void forgetManager(QtAbstractPropertyManager *manager);

    virtual void attachManager(QtAbstractPropertyManager *manager) = 0;
    virtual void detachManager(QtAbstractPropertyManager *manager) = 0;

private:
    QHash<QtProperty *, QList<QWidget *>> m_editors;
    QHash<QObject *, QtProperty *> m_editorProperty;

    friend class QtAbstractPropertyBrowser;
};

// Typed base: a factory for the properties of managers of class Manager.
// Attachment is counted, so one factory may serve one manager in several
// browsers.
template <class Manager>
class QtAbstractEditorFactory : public QtAbstractEditorFactoryBase
{
public:
    QWidget *createEditor(QtProperty *property, QWidget *parent) override
    {
        Manager *manager = propertyManager(property);
        return manager ? createManagedEditor(manager, property, parent) : nullptr;
    }

    QSet<Manager *> propertyManagers() const
    {
        QSet<Manager *> managers;
        for (auto it = m_attached.cbegin(); it != m_attached.cend(); ++it)
            managers.insert(it.key());
        return managers;
    }

    Manager *propertyManager(QtProperty *property) const
    {
        if (!property)
            return nullptr;
        auto *manager = qobject_cast<Manager *>(property->propertyManager());
        return m_attached.contains(manager) ? manager : nullptr;
    }

protected:
    explicit QtAbstractEditorFactory(QObject *parent = nullptr) : QtAbstractEditorFactoryBase(parent) {}

    // Connects the manager's signals that editors follow. Every connection
    // from the manager to this factory is cut when it is detached.
    virtual void connectPropertyManager(Manager *manager) = 0;
    virtual QWidget *createManagedEditor(Manager *manager, QtProperty *property, QWidget *parent) = 0;

    // The road of an editor's change: `apply(manager, property)` sets the
    // value as the user's edit, then `show(manager, property)` puts the
    // manager's value back into the editor (with its signals blocked), since
    // the manager may have clamped or refused it.
    template <class Apply, class Show>
    void commitFromEditor(QWidget *editor, Apply apply, Show show)
    {
        const QPointer<QWidget> guard(editor);
        QtProperty *property = propertyOf(editor);
        Manager *manager = propertyManager(property);
        if (!manager || !commitUserEdit(property, [&] { apply(manager, property); }))
            return;
        manager = propertyManager(property);
        if (guard && manager && propertyOf(guard) == property) {
            const QSignalBlocker blocker(guard.data());
            show(manager, property);
        }
    }

private:
    void attachManager(QtAbstractPropertyManager *abstractManager) override
    {
        auto *manager = qobject_cast<Manager *>(abstractManager);
        if (!manager)
            return;
        if (m_attached[manager]++ > 0)
            return;
        QObject::connect(manager, &QtAbstractPropertyManager::propertyDestroyed, this,
                         [this](QtProperty *property) { forgetProperty(property); });
        QObject::connect(manager, &QObject::destroyed, this, [this, manager] { m_attached.remove(manager); });
        connectPropertyManager(manager);
    }

    void detachManager(QtAbstractPropertyManager *abstractManager) override
    {
        auto *manager = qobject_cast<Manager *>(abstractManager);
        auto it = m_attached.find(manager);
        if (it == m_attached.end() || --it.value() > 0)
            return;
        m_attached.erase(it);
        QObject::disconnect(manager, nullptr, this, nullptr);
        forgetManager(manager);
    }

    QHash<Manager *, int> m_attached;
};

// Base of the browsers: keeps the top-level properties and one QtBrowserItem
// per shown place of every property, follows the managers' changes, and
// knows which factory edits which manager's properties.
class QtAbstractPropertyBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit QtAbstractPropertyBrowser(QWidget *parent = nullptr);
    ~QtAbstractPropertyBrowser() override;

    QList<QtProperty *> properties() const { return m_topProperties; }
    QList<QtBrowserItem *> topLevelItems() const { return m_topItems; }
    QtBrowserItem *topLevelItem(QtProperty *property) const;
    // Every row that shows the property.
    QList<QtBrowserItem *> items(QtProperty *property) const { return m_items.value(property); }
    // Removes every top-level property (the properties themselves stay).
    void clear();

    // Rows of the manager's properties get editors from the factory. A
    // manager has at most one factory per browser; a new one replaces the old.
    template <class Manager>
    void setFactoryForManager(Manager *manager, QtAbstractEditorFactory<Manager> *factory)
    {
        attachFactory(manager, factory);
    }
    // Rows of the manager's properties become read-only; open editors close.
    void unsetFactoryForManager(QtAbstractPropertyManager *manager);
    QtAbstractEditorFactoryBase *factoryForManager(QtAbstractPropertyManager *manager) const
    {
        return m_factories.value(manager);
    }

    QtBrowserItem *currentItem() const { return m_current; }
    void setCurrentItem(QtBrowserItem *item);

public slots:
    // Appends a top-level property; null when it is already top-level.
    QtBrowserItem *addProperty(QtProperty *property);
    // Inserts a top-level property after `after` (front when null, end when
    // `after` is not top-level); null when it is already top-level.
    QtBrowserItem *insertProperty(QtProperty *property, QtProperty *after);
    void removeProperty(QtProperty *property);

signals:
    void currentItemChanged(QtBrowserItem *current);

protected:
    // The item has been created and placed after afterItem among its
    // siblings (first when null). Called parent first.
    virtual void itemInserted(QtBrowserItem *item, QtBrowserItem *afterItem) = 0;
    // The item is about to be deleted. Called children first.
    virtual void itemRemoved(QtBrowserItem *item) = 0;
    // Something shown of the item's property changed.
    virtual void itemChanged(QtBrowserItem *item) = 0;
    // The editor factory of the manager was set, replaced or unset.
    virtual void editorFactoryChanged(QtAbstractPropertyManager *manager);
    // The current item was set through setCurrentItem.
    virtual void currentItemSet(QtBrowserItem *item);

    bool hasEditorFactory(const QtProperty *property) const;
    QWidget *createEditor(QtProperty *property, QWidget *parent);

private slots:
    void slotPropertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after);
    void slotPropertyRemoved(QtProperty *property, QtProperty *parent);
    void slotPropertyChanged(QtProperty *property);
    void slotPropertyDestroyed(QtProperty *property);
    void slotManagerDestroyed(QObject *manager);
    void slotFactoryDestroyed(QObject *factory);

private:
    void attachFactory(QtAbstractPropertyManager *manager, QtAbstractEditorFactoryBase *factory);
    void watchManager(QtAbstractPropertyManager *manager);
    QtBrowserItem *createItem(QtProperty *property, QtBrowserItem *parent, QtBrowserItem *after);
    void removeItem(QtBrowserItem *item);
    void deleteItemTree(QtBrowserItem *item);

    QList<QtProperty *> m_topProperties;
    QList<QtBrowserItem *> m_topItems;
    QHash<QtProperty *, QList<QtBrowserItem *>> m_items;
    QSet<QtAbstractPropertyManager *> m_managers;
    QHash<QtAbstractPropertyManager *, QtAbstractEditorFactoryBase *> m_factories;
    QtBrowserItem *m_current = nullptr;
};

Q_DECLARE_METATYPE(QtProperty *)
Q_DECLARE_METATYPE(QtBrowserItem *)
