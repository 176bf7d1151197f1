#include "qteditorfactory.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QStyle>
#include <QDoubleSpinBox>
#include <QSpinBox>

// ----------------------------------------------------------- QtSpinBoxFactory

QtSpinBoxFactory::QtSpinBoxFactory(QObject *parent)
    : QtAbstractEditorFactory<QtIntPropertyManager>(parent)
{
}

QtSpinBoxFactory::~QtSpinBoxFactory() = default;

void QtSpinBoxFactory::connectPropertyManager(QtIntPropertyManager *manager)
{
    connect(manager, &QtIntPropertyManager::valueChanged, this, [this](QtProperty *property, int value) {
        updateEditors<QSpinBox>(property, [value](QSpinBox *editor) { editor->setValue(value); });
    });
    connect(manager, &QtIntPropertyManager::rangeChanged, this, [this](QtProperty *property, int min, int max) {
        updateEditors<QSpinBox>(property, [min, max](QSpinBox *editor) { editor->setRange(min, max); });
    });
    connect(manager, &QtIntPropertyManager::singleStepChanged, this, [this](QtProperty *property, int step) {
        updateEditors<QSpinBox>(property, [step](QSpinBox *editor) { editor->setSingleStep(step); });
    });
}

QWidget *QtSpinBoxFactory::createManagedEditor(QtIntPropertyManager *manager, QtProperty *property, QWidget *parent)
{
    auto *editor = new QSpinBox(parent);
    editor->setKeyboardTracking(false);
    editor->setRange(manager->minimum(property), manager->maximum(property));
    editor->setSingleStep(manager->singleStep(property));
    editor->setValue(manager->value(property));
    registerEditor(property, editor);
    connect(editor, qOverload<int>(&QSpinBox::valueChanged), this, [this, editor](int value) {
        commitFromEditor(
            editor, [value](QtIntPropertyManager *m, QtProperty *p) { m->setValue(p, value); },
            [editor](QtIntPropertyManager *m, QtProperty *p) { editor->setValue(m->value(p)); });
    });
    return editor;
}

// ----------------------------------------------------- QtDoubleSpinBoxFactory

QtDoubleSpinBoxFactory::QtDoubleSpinBoxFactory(QObject *parent)
    : QtAbstractEditorFactory<QtDoublePropertyManager>(parent)
{
}

QtDoubleSpinBoxFactory::~QtDoubleSpinBoxFactory() = default;

void QtDoubleSpinBoxFactory::connectPropertyManager(QtDoublePropertyManager *manager)
{
    connect(manager, &QtDoublePropertyManager::valueChanged, this, [this](QtProperty *property, double value) {
        updateEditors<QDoubleSpinBox>(property, [value](QDoubleSpinBox *editor) { editor->setValue(value); });
    });
    connect(manager, &QtDoublePropertyManager::rangeChanged, this,
            [this](QtProperty *property, double min, double max) {
                updateEditors<QDoubleSpinBox>(property,
                                              [min, max](QDoubleSpinBox *editor) { editor->setRange(min, max); });
            });
    connect(manager, &QtDoublePropertyManager::singleStepChanged, this, [this](QtProperty *property, double step) {
        updateEditors<QDoubleSpinBox>(property, [step](QDoubleSpinBox *editor) { editor->setSingleStep(step); });
    });
    connect(manager, &QtDoublePropertyManager::decimalsChanged, this,
            [this, manager](QtProperty *property, int decimals) {
                updateEditors<QDoubleSpinBox>(property, [=](QDoubleSpinBox *editor) {
                    editor->setDecimals(decimals);
                    editor->setValue(manager->value(property));
                });
            });
}

QWidget *QtDoubleSpinBoxFactory::createManagedEditor(QtDoublePropertyManager *manager, QtProperty *property,
                                                     QWidget *parent)
{
    auto *editor = new QDoubleSpinBox(parent);
    editor->setKeyboardTracking(false);
    editor->setDecimals(manager->decimals(property));
    editor->setRange(manager->minimum(property), manager->maximum(property));
    editor->setSingleStep(manager->singleStep(property));
    editor->setValue(manager->value(property));
    registerEditor(property, editor);
    connect(editor, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this, editor](double value) {
        commitFromEditor(
            editor, [value](QtDoublePropertyManager *m, QtProperty *p) { m->setValue(p, value); },
            [editor](QtDoublePropertyManager *m, QtProperty *p) { editor->setValue(m->value(p)); });
    });
    return editor;
}

// -------------------------------------------------------- QtEnumEditorFactory

namespace {

void fillComboBox(QComboBox *editor, QtEnumPropertyManager *manager, QtProperty *property)
{
    const QSignalBlocker blocker(editor);
    editor->clear();
    const QStringList names = manager->enumNames(property);
    const QMap<int, QIcon> icons = manager->enumIcons(property);
    for (int i = 0; i < names.size(); ++i)
        editor->addItem(icons.value(i), names.at(i));
    editor->setCurrentIndex(manager->value(property));
    // The list that drops down is as wide as its longest entry, however
    // narrow the value column is; each entry is read whole.
    QAbstractItemView *list = editor->view();
    list->setTextElideMode(Qt::ElideNone);
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth()
                          + editor->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

} // namespace

QtEnumEditorFactory::QtEnumEditorFactory(QObject *parent)
    : QtAbstractEditorFactory<QtEnumPropertyManager>(parent)
{
}

QtEnumEditorFactory::~QtEnumEditorFactory() = default;

void QtEnumEditorFactory::connectPropertyManager(QtEnumPropertyManager *manager)
{
    connect(manager, &QtEnumPropertyManager::valueChanged, this, [this](QtProperty *property, int value) {
        updateEditors<QComboBox>(property, [value](QComboBox *editor) { editor->setCurrentIndex(value); });
    });
    const auto refill = [this, manager](QtProperty *property) {
        updateEditors<QComboBox>(property, [=](QComboBox *editor) { fillComboBox(editor, manager, property); });
    };
    connect(manager, &QtEnumPropertyManager::enumNamesChanged, this, refill);
    connect(manager, &QtEnumPropertyManager::enumIconsChanged, this, refill);
}

QWidget *QtEnumEditorFactory::createManagedEditor(QtEnumPropertyManager *manager, QtProperty *property,
                                                  QWidget *parent)
{
    auto *editor = new QComboBox(parent);
    editor->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    editor->setMinimumContentsLength(1);
    fillComboBox(editor, manager, property);
    registerEditor(property, editor);
    connect(editor, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, editor](int index) {
        if (index < 0)
            return;
        commitFromEditor(
            editor, [index](QtEnumPropertyManager *m, QtProperty *p) { m->setValue(p, index); },
            [editor](QtEnumPropertyManager *m, QtProperty *p) { editor->setCurrentIndex(m->value(p)); });
    });
    return editor;
}

// ---------------------------------------------------------- QtCheckBoxFactory

QtCheckBoxFactory::QtCheckBoxFactory(QObject *parent)
    : QtAbstractEditorFactory<QtBoolPropertyManager>(parent)
{
}

QtCheckBoxFactory::~QtCheckBoxFactory() = default;

void QtCheckBoxFactory::connectPropertyManager(QtBoolPropertyManager *manager)
{
    connect(manager, &QtBoolPropertyManager::valueChanged, this, [this](QtProperty *property, bool value) {
        updateEditors<QCheckBox>(property, [=](QCheckBox *editor) {
            editor->setChecked(value);
            editor->setText(property->valueText());
        });
    });
}

QWidget *QtCheckBoxFactory::createManagedEditor(QtBoolPropertyManager *manager, QtProperty *property,
                                                QWidget *parent)
{
    auto *editor = new QCheckBox(parent);
    editor->setAutoFillBackground(true);
    editor->setBackgroundRole(QPalette::Base);
    editor->setChecked(manager->value(property));
    editor->setText(property->valueText());
    registerEditor(property, editor);
    connect(editor, &QCheckBox::toggled, this, [this, editor](bool checked) {
        commitFromEditor(
            editor, [checked](QtBoolPropertyManager *m, QtProperty *p) { m->setValue(p, checked); },
            [editor](QtBoolPropertyManager *m, QtProperty *p) {
                editor->setChecked(m->value(p));
                editor->setText(p->valueText());
            });
    });
    return editor;
}
