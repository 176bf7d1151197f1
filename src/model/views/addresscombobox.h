#pragma once

#include "devicesource.h"

#include <QComboBox>
#include <QStringList>

class QStyleOptionViewItem;

// The address editor of the device views: lists the addresses 1 to
// limit - 1, marks those that other devices and the master take with
// their model names, and opens its list by itself shortly after it
// appears. Its dynamic property "address" holds the radio address of the
// device being edited.
class ComboBox : public QComboBox
{
    Q_OBJECT
public:
    ComboBox(int limit, const DeviceSourceRef &source, QWidget *parent = nullptr);
    ComboBox(int limit, DeviceSource *source, QWidget *parent = nullptr);
    ComboBox(int limit, DeviceSource *source, QWidget *parent, const QStyleOptionViewItem &option);

    int limit() const { return m_limit; }
    // The list texts for the limit and the devices of the source, with the
    // device of the given radio address left out.
    static QStringList addressTexts(int limit, const DeviceSourceRef &source, int editedRadioAddress);

    void hidePopup() override;

    // Delay before the list opens by itself (200 ms); tests shorten it.
    static void setPopupDelay(int ms);
    static int popupDelay();

signals:
    void shown();
    void hidden();

public slots:
    void onComboActivated();

protected:
    void showEvent(QShowEvent *event) override;

private:
    DeviceSourceRef m_source;
    int m_limit;
};
