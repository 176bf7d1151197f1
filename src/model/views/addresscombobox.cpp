#include "addresscombobox.h"

#include "deviceitem.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QTimer>

namespace {
int g_popupDelayMs = 200;

QStringList plainTexts(int limit)
{
    QStringList texts;
    for (int value = 1; value < limit; ++value)
        texts << QString::number(value);
    return texts;
}
} // namespace

void ComboBox::setPopupDelay(int ms)
{
    g_popupDelayMs = ms;
}

int ComboBox::popupDelay()
{
    return g_popupDelayMs;
}

ComboBox::ComboBox(int limit, const DeviceSourceRef &source, QWidget *parent)
    : QComboBox(parent)
    , m_source(source)
    , m_limit(limit)
{
    addItems(plainTexts(limit));
    setCurrentIndex(-1);
    connect(this, &ComboBox::shown, this, &ComboBox::onComboActivated);
    QTimer::singleShot(g_popupDelayMs, this, [this] {
        if (isVisible())
            showPopup();
    });
}

ComboBox::ComboBox(int limit, DeviceSource *source, QWidget *parent)
    : ComboBox(limit, DeviceSourceRef(source), parent)
{
}

ComboBox::ComboBox(int limit, DeviceSource *source, QWidget *parent, const QStyleOptionViewItem &)
    : ComboBox(limit, DeviceSourceRef(source), parent)
{
}

QStringList ComboBox::addressTexts(int limit, const DeviceSourceRef &source, int editedRadioAddress)
{
    QStringList texts = plainTexts(limit);
    const int role = source.wiredBus() ? int(DeviceRole::KastrelAddress) : int(DeviceRole::WireloopAddress);
    auto label = [&texts, limit](int value, const QString &name) {
        if (value >= 1 && value < limit)
            texts[value - 1] = QStringLiteral("%1. %2").arg(value).arg(name);
    };

    const auto devices = source.devices();
    for (DeviceItem *device : devices) {
        if (!device)
            continue;
        const int a = quint8(device->data(role).toInt());
        if (a == 0 || device->data(DeviceRole::RadioAddress).toInt() == editedRadioAddress)
            continue;
        const int span = device->data(DeviceRole::ExtraAddresses).toInt();
        const QString name = device->data(DeviceRole::TypeName).toString();
        for (int k = 0; k <= span; ++k)
            label(a + k, name);
    }
    // The connection keeps its master under the number 255.
    if (DeviceItem *master = source.master()) {
        const int a = quint8(master->data(role).toInt());
        if (a != 0 && editedRadioAddress != 255)
            label(a, master->typeName());
    }
    return texts;
}

void ComboBox::onComboActivated()
{
    // Runs on every show. The current entry is kept: it is the one that
    // shows the edited address (setAddressEditorData).
    const int current = currentIndex();
    const QVariant edited = property("address");
    const int editedRadioAddress = edited.isValid() ? edited.toInt() : -1;
    const QStringList texts = addressTexts(m_limit, m_source, editedRadioAddress);
    const QSignalBlocker blocker(this);
    clear();
    addItems(texts);
    setCurrentIndex(current < count() ? current : -1);

    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString &text : texts)
        widest = qMax(widest, metrics.horizontalAdvance(text));
    view()->setMinimumWidth(widest + 30);
}

void ComboBox::showEvent(QShowEvent *event)
{
    emit shown();
    QComboBox::showEvent(event);
}

void ComboBox::hidePopup()
{
    QComboBox::hidePopup();
    QTimer::singleShot(0, this, [this] { emit hidden(); });
}
