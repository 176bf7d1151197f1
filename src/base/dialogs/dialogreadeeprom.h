#pragma once

#include <QDialog>

namespace Ui {
class DialogReadEeprom;
}

// Asks for the address and length of a read from a device's memory. Offers a
// few well-known addresses, accepts any typed one, and remembers the last
// address and length ("eepromReadLastAddress", "eepromReadLastLength") when
// closed, whatever its result. OK is offered only while the address reads as
// one (parseMemoryAddress).
class DialogReadEeprom : public QDialog
{
    Q_OBJECT
public:
    explicit DialogReadEeprom(QWidget *parent = nullptr);
    ~DialogReadEeprom() override;

    // The address typed or chosen; 0 while the text is not an address.
    int address() const;
    bool hasValidAddress() const;
    // Number of bytes to read, 1 to 24.
    int length() const;

    // An accept while the text is not an address ends the dialog rejected.
    void done(int result) override;

public slots:
    // Proposes the usual length for a few known addresses.
    void onAddressChanged(int id);

private:
    void updateOkButton();

    Ui::DialogReadEeprom *ui;
};
