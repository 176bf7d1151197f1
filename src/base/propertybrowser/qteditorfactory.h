#pragma once
// Editor factories for the typed managers. An editor shows the property's
// current value, follows programmatic changes without reporting them, and
// applies each change the user makes at once, as a user edit (see
// QtAbstractPropertyManager). Spin boxes apply typed text when it is
// confirmed (Enter, focus leaving, or the browser closing the editor), not
// keystroke by keystroke.

#include "qtpropertymanager.h"

// A spin box for QtIntPropertyManager properties.
class QtSpinBoxFactory : public QtAbstractEditorFactory<QtIntPropertyManager>
{
    Q_OBJECT
public:
    explicit QtSpinBoxFactory(QObject *parent = nullptr);
    ~QtSpinBoxFactory() override;

protected:
    void connectPropertyManager(QtIntPropertyManager *manager) override;
    QWidget *createManagedEditor(QtIntPropertyManager *manager, QtProperty *property, QWidget *parent) override;
};

// A spin box with decimals for QtDoublePropertyManager properties.
class QtDoubleSpinBoxFactory : public QtAbstractEditorFactory<QtDoublePropertyManager>
{
    Q_OBJECT
public:
    explicit QtDoubleSpinBoxFactory(QObject *parent = nullptr);
    ~QtDoubleSpinBoxFactory() override;

protected:
    void connectPropertyManager(QtDoublePropertyManager *manager) override;
    QWidget *createManagedEditor(QtDoublePropertyManager *manager, QtProperty *property, QWidget *parent) override;
};

// A combo box of the enum names and icons for QtEnumPropertyManager properties.
class QtEnumEditorFactory : public QtAbstractEditorFactory<QtEnumPropertyManager>
{
    Q_OBJECT
public:
    explicit QtEnumEditorFactory(QObject *parent = nullptr);
    ~QtEnumEditorFactory() override;

protected:
    void connectPropertyManager(QtEnumPropertyManager *manager) override;
    QWidget *createManagedEditor(QtEnumPropertyManager *manager, QtProperty *property, QWidget *parent) override;
};

// A check box for QtBoolPropertyManager properties.
class QtCheckBoxFactory : public QtAbstractEditorFactory<QtBoolPropertyManager>
{
    Q_OBJECT
public:
    explicit QtCheckBoxFactory(QObject *parent = nullptr);
    ~QtCheckBoxFactory() override;

protected:
    void connectPropertyManager(QtBoolPropertyManager *manager) override;
    QWidget *createManagedEditor(QtBoolPropertyManager *manager, QtProperty *property, QWidget *parent) override;
};
