#include "qtpropertybrowser.h"

#include <QPointer>

#include <algorithm>

// ---------------------------------------------------------------- QtProperty

QtProperty::QtProperty(QtAbstractPropertyManager *manager)
    : m_manager(manager)
{
}

QtProperty::~QtProperty()
{
    // Leave every parent first: browsers drop the rows under those parents.
    const QList<QtProperty *> parents = m_parents;
    for (QtProperty *parent : parents)
        parent->removeSubProperty(this);
    if (m_manager)
        m_manager->propertyGone(this);
    for (QtProperty *child : qAsConst(m_children))
        child->m_parents.removeAll(this);
}

void QtProperty::setPropertyName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    propertyChanged();
}

void QtProperty::setToolTip(const QString &text)
{
    if (m_toolTip == text)
        return;
    m_toolTip = text;
    propertyChanged();
}

void QtProperty::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    propertyChanged();
}

void QtProperty::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    propertyChanged();
}

bool QtProperty::hasValue() const
{
    return m_manager && m_manager->hasValue(this);
}

QString QtProperty::valueText() const
{
    return m_manager ? m_manager->valueText(this) : QString();
}

QIcon QtProperty::valueIcon() const
{
    return m_manager ? m_manager->valueIcon(this) : QIcon();
}

bool QtProperty::isAncestorOrSelf(const QtProperty *other) const
{
    if (other == this)
        return true;
    for (const QtProperty *parent : m_parents) {
        if (parent->isAncestorOrSelf(other))
            return true;
    }
    return false;
}

void QtProperty::addSubProperty(QtProperty *property)
{
    insertSubProperty(property, m_children.isEmpty() ? nullptr : m_children.constLast());
}

void QtProperty::insertSubProperty(QtProperty *property, QtProperty *after)
{
    if (!property || m_children.contains(property) || isAncestorOrSelf(property))
        return;
    int pos = 0;
    if (after) {
        pos = m_children.indexOf(after) + 1;
        if (pos == 0) {
            pos = m_children.size();
            after = m_children.isEmpty() ? nullptr : m_children.constLast();
        }
    }
    m_children.insert(pos, property);
    property->m_parents.append(this);
    if (m_manager)
        emit m_manager->propertyInserted(property, this, after);
}

void QtProperty::removeSubProperty(QtProperty *property)
{
    if (!m_children.removeOne(property))
        return;
    property->m_parents.removeOne(this);
    if (m_manager)
        emit m_manager->propertyRemoved(property, this);
}

void QtProperty::propertyChanged()
{
    if (m_manager)
        m_manager->notifyPropertyChanged(this);
}

// ------------------------------------------------- QtAbstractPropertyManager

// Sets the user-edit flag for the signals of one change and restores the
// flag of an enclosing change afterwards.
class QtAbstractPropertyManager::EmitScope
{
public:
    EmitScope(QtAbstractPropertyManager *manager, bool userEdit)
        : m_manager(manager), m_saved(manager->m_userEdit)
    {
        manager->m_userEdit = userEdit;
    }
    ~EmitScope()
    {
        if (m_manager)
            m_manager->m_userEdit = m_saved;
    }

private:
    QPointer<QtAbstractPropertyManager> m_manager;
    bool m_saved;
};

QtAbstractPropertyManager::QtAbstractPropertyManager(QObject *parent)
    : QObject(parent)
{
}

QtAbstractPropertyManager::~QtAbstractPropertyManager()
{
    clear();
}

void QtAbstractPropertyManager::clear()
{
    while (!m_properties.isEmpty())
        delete *m_properties.cbegin();
}

QtProperty *QtAbstractPropertyManager::addProperty(const QString &name)
{
    QtProperty *property = createProperty();
    property->m_name = name;
    m_properties.insert(property);
    initializeProperty(property);
    return property;
}

QtProperty *QtAbstractPropertyManager::createProperty()
{
    return new QtProperty(this);
}

bool QtAbstractPropertyManager::hasValue(const QtProperty *) const
{
    return true;
}

QIcon QtAbstractPropertyManager::valueIcon(const QtProperty *) const
{
    return QIcon();
}

QString QtAbstractPropertyManager::valueText(const QtProperty *) const
{
    return QString();
}

void QtAbstractPropertyManager::uninitializeProperty(QtProperty *)
{
}

void QtAbstractPropertyManager::propertyGone(QtProperty *property)
{
    if (!m_properties.contains(property))
        return;
    emit propertyDestroyed(property);
    m_properties.remove(property);
    if (m_pendingEdit == property)
        m_pendingEdit = nullptr;
    uninitializeProperty(property);
}

bool QtAbstractPropertyManager::takeUserEdit(QtProperty *property)
{
    const bool user = property && m_pendingEdit == property;
    m_pendingEdit = nullptr;
    return user;
}

void QtAbstractPropertyManager::notifyValueChange(QtProperty *property, bool userEdit,
                                                  const std::function<void()> &emitTyped)
{
    const QPointer<QtAbstractPropertyManager> self(this);
    EmitScope scope(this, userEdit);
    emit propertyChanged(property);
    if (self && owns(property))
        emitTyped();
}

void QtAbstractPropertyManager::notifyPropertyChanged(QtProperty *property)
{
    EmitScope scope(this, false);
    emit propertyChanged(property);
}

// ------------------------------------------------ QtAbstractEditorFactoryBase

QtAbstractEditorFactoryBase::QtAbstractEditorFactoryBase(QObject *parent)
    : QObject(parent)
{
}

bool QtAbstractEditorFactoryBase::commitUserEdit(QtProperty *property, const std::function<void()> &apply)
{
    if (!property)
        return false;
    QPointer<QtAbstractPropertyManager> manager(property->propertyManager());
    if (!manager || !manager->owns(property))
        return false;
    if (!property->isEnabled())
        return true;
    manager->m_pendingEdit = property;
    apply();
    if (!manager)
        return false;
    manager->m_pendingEdit = nullptr;
    return manager->owns(property);
}

void QtAbstractEditorFactoryBase::registerEditor(QtProperty *property, QWidget *editor)
{
    m_editors[property].append(editor);
    m_editorProperty.insert(editor, property);
    connect(editor, &QObject::destroyed, this, [this](QObject *object) {
        QtProperty *property = m_editorProperty.take(object);
        if (!property)
            return;
        auto it = m_editors.find(property);
        if (it == m_editors.end())
            return;
        it->removeAll(static_cast<QWidget *>(object));
        if (it->isEmpty())
            m_editors.erase(it);
    });
}

void QtAbstractEditorFactoryBase::forgetProperty(QtProperty *property)
{
    const QList<QWidget *> editors = m_editors.take(property);
    for (QWidget *editor : editors)
        m_editorProperty.remove(editor);
}

void QtAbstractEditorFactoryBase::forgetManager(QtAbstractPropertyManager *manager)
{
    const QList<QtProperty *> properties = m_editors.keys();
    for (QtProperty *property : properties) {
        if (property->propertyManager() == manager)
            forgetProperty(property);
    }
}

// -------------------------------------------------------------- QtBrowserItem

QtBrowserItem::QtBrowserItem(QtAbstractPropertyBrowser *browser, QtProperty *property, QtBrowserItem *parent)
    : m_browser(browser), m_property(property), m_parent(parent)
{
}

// -------------------------------------------------- QtAbstractPropertyBrowser

QtAbstractPropertyBrowser::QtAbstractPropertyBrowser(QWidget *parent)
    : QWidget(parent)
{
}

QtAbstractPropertyBrowser::~QtAbstractPropertyBrowser()
{
    for (QtAbstractPropertyManager *manager : qAsConst(m_managers))
        disconnect(manager, nullptr, this, nullptr);
    for (auto it = m_factories.cbegin(); it != m_factories.cend(); ++it) {
        disconnect(it.value(), nullptr, this, nullptr);
        it.value()->detachManager(it.key());
    }
    // A derived browser has already taken its rows down; only free the items.
    for (QtBrowserItem *item : qAsConst(m_topItems))
        deleteItemTree(item);
}

void QtAbstractPropertyBrowser::deleteItemTree(QtBrowserItem *item)
{
    for (QtBrowserItem *child : qAsConst(item->m_children))
        deleteItemTree(child);
    delete item;
}

QtBrowserItem *QtAbstractPropertyBrowser::topLevelItem(QtProperty *property) const
{
    const int pos = m_topProperties.indexOf(property);
    return pos < 0 ? nullptr : m_topItems.at(pos);
}

void QtAbstractPropertyBrowser::clear()
{
    while (!m_topProperties.isEmpty())
        removeProperty(m_topProperties.constLast());
}

QtBrowserItem *QtAbstractPropertyBrowser::addProperty(QtProperty *property)
{
    return insertProperty(property, m_topProperties.isEmpty() ? nullptr : m_topProperties.constLast());
}

QtBrowserItem *QtAbstractPropertyBrowser::insertProperty(QtProperty *property, QtProperty *after)
{
    if (!property || m_topProperties.contains(property))
        return nullptr;
    int pos = 0;
    if (after) {
        pos = m_topProperties.indexOf(after) + 1;
        if (pos == 0)
            pos = m_topProperties.size();
    }
    QtBrowserItem *afterItem = pos > 0 ? m_topItems.at(pos - 1) : nullptr;
    m_topProperties.insert(pos, property);
    auto *item = new QtBrowserItem(this, property, nullptr);
    m_topItems.insert(pos, item);
    m_items[property].append(item);
    watchManager(property->propertyManager());
    itemInserted(item, afterItem);
    QtBrowserItem *previous = nullptr;
    for (QtProperty *child : property->subProperties())
        previous = createItem(child, item, previous);
    return item;
}

void QtAbstractPropertyBrowser::removeProperty(QtProperty *property)
{
    const int pos = m_topProperties.indexOf(property);
    if (pos < 0)
        return;
    removeItem(m_topItems.at(pos));
}

QtBrowserItem *QtAbstractPropertyBrowser::createItem(QtProperty *property, QtBrowserItem *parent,
                                                     QtBrowserItem *after)
{
    auto *item = new QtBrowserItem(this, property, parent);
    const int pos = after ? parent->m_children.indexOf(after) + 1 : 0;
    parent->m_children.insert(pos, item);
    m_items[property].append(item);
    watchManager(property->propertyManager());
    itemInserted(item, after);
    QtBrowserItem *previous = nullptr;
    for (QtProperty *child : property->subProperties())
        previous = createItem(child, item, previous);
    return item;
}

void QtAbstractPropertyBrowser::removeItem(QtBrowserItem *item)
{
    const QList<QtBrowserItem *> children = item->m_children;
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        removeItem(*it);
    itemRemoved(item);

    auto entry = m_items.find(item->m_property);
    if (entry != m_items.end()) {
        entry->removeOne(item);
        if (entry->isEmpty())
            m_items.erase(entry);
    }
    if (item->m_parent) {
        item->m_parent->m_children.removeOne(item);
    } else {
        const int pos = m_topItems.indexOf(item);
        m_topItems.removeAt(pos);
        m_topProperties.removeAt(pos);
    }
    if (m_current == item)
        setCurrentItem(nullptr);
    delete item;
}

void QtAbstractPropertyBrowser::watchManager(QtAbstractPropertyManager *manager)
{
    if (!manager || m_managers.contains(manager))
        return;
    m_managers.insert(manager);
    connect(manager, &QtAbstractPropertyManager::propertyInserted, this,
            &QtAbstractPropertyBrowser::slotPropertyInserted);
    connect(manager, &QtAbstractPropertyManager::propertyRemoved, this,
            &QtAbstractPropertyBrowser::slotPropertyRemoved);
    connect(manager, &QtAbstractPropertyManager::propertyChanged, this,
            &QtAbstractPropertyBrowser::slotPropertyChanged);
    connect(manager, &QtAbstractPropertyManager::propertyDestroyed, this,
            &QtAbstractPropertyBrowser::slotPropertyDestroyed);
    connect(manager, &QObject::destroyed, this, &QtAbstractPropertyBrowser::slotManagerDestroyed);
}

void QtAbstractPropertyBrowser::slotPropertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after)
{
    const QList<QtBrowserItem *> parentItems = m_items.value(parent);
    for (QtBrowserItem *parentItem : parentItems) {
        QtBrowserItem *afterItem = nullptr;
        if (after) {
            for (QtBrowserItem *child : qAsConst(parentItem->m_children)) {
                if (child->m_property == after)
                    afterItem = child;
            }
        }
        createItem(property, parentItem, afterItem);
    }
}

void QtAbstractPropertyBrowser::slotPropertyRemoved(QtProperty *property, QtProperty *parent)
{
    const QList<QtBrowserItem *> parentItems = m_items.value(parent);
    for (QtBrowserItem *parentItem : parentItems) {
        const QList<QtBrowserItem *> children = parentItem->m_children;
        for (QtBrowserItem *child : children) {
            if (child->m_property == property)
                removeItem(child);
        }
    }
}

void QtAbstractPropertyBrowser::slotPropertyChanged(QtProperty *property)
{
    const QList<QtBrowserItem *> shown = m_items.value(property);
    for (QtBrowserItem *item : shown)
        itemChanged(item);
}

void QtAbstractPropertyBrowser::slotPropertyDestroyed(QtProperty *property)
{
    removeProperty(property);
    // Rows under other parents went when the property left them; whatever is
    // left (should be nothing) must not outlive the property.
    while (m_items.contains(property))
        removeItem(m_items.value(property).constFirst());
}

void QtAbstractPropertyBrowser::slotManagerDestroyed(QObject *manager)
{
    // Only the QObject part is left: compare addresses, cast nothing down.
    for (auto it = m_managers.begin(); it != m_managers.end();)
        it = static_cast<QObject *>(*it) == manager ? m_managers.erase(it) : std::next(it);
    for (auto it = m_factories.begin(); it != m_factories.end();)
        it = static_cast<QObject *>(it.key()) == manager ? m_factories.erase(it) : std::next(it);
}

void QtAbstractPropertyBrowser::slotFactoryDestroyed(QObject *factory)
{
    for (auto it = m_factories.begin(); it != m_factories.end();) {
        if (it.value() == factory) {
            QtAbstractPropertyManager *manager = it.key();
            it = m_factories.erase(it);
            editorFactoryChanged(manager);
        } else {
            ++it;
        }
    }
}

void QtAbstractPropertyBrowser::attachFactory(QtAbstractPropertyManager *manager,
                                              QtAbstractEditorFactoryBase *factory)
{
    if (!manager || !factory)
        return;
    QtAbstractEditorFactoryBase *old = m_factories.value(manager);
    if (old == factory)
        return;
    if (old) {
        m_factories.remove(manager);
        old->detachManager(manager);
        if (std::find(m_factories.cbegin(), m_factories.cend(), old) == m_factories.cend())
            disconnect(old, nullptr, this, nullptr);
    }
    m_factories.insert(manager, factory);
    factory->attachManager(manager);
    watchManager(manager);
    connect(factory, &QObject::destroyed, this, &QtAbstractPropertyBrowser::slotFactoryDestroyed,
            Qt::UniqueConnection);
    editorFactoryChanged(manager);
}

void QtAbstractPropertyBrowser::unsetFactoryForManager(QtAbstractPropertyManager *manager)
{
    QtAbstractEditorFactoryBase *factory = m_factories.take(manager);
    if (!factory)
        return;
    factory->detachManager(manager);
    if (std::find(m_factories.cbegin(), m_factories.cend(), factory) == m_factories.cend())
        disconnect(factory, nullptr, this, nullptr);
    editorFactoryChanged(manager);
}

void QtAbstractPropertyBrowser::setCurrentItem(QtBrowserItem *item)
{
    if (item == m_current)
        return;
    if (item && item->m_browser != this)
        return;
    m_current = item;
    currentItemSet(item);
    emit currentItemChanged(item);
}

void QtAbstractPropertyBrowser::editorFactoryChanged(QtAbstractPropertyManager *)
{
}

void QtAbstractPropertyBrowser::currentItemSet(QtBrowserItem *)
{
}

bool QtAbstractPropertyBrowser::hasEditorFactory(const QtProperty *property) const
{
    return property && m_factories.contains(property->propertyManager());
}

QWidget *QtAbstractPropertyBrowser::createEditor(QtProperty *property, QWidget *parent)
{
    QtAbstractEditorFactoryBase *factory = property ? m_factories.value(property->propertyManager()) : nullptr;
    return factory ? factory->createEditor(property, parent) : nullptr;
}
