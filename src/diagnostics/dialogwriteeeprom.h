#pragma once

#include <QByteArray>
#include <QDialog>

class QDialogButtonBox;
class QLineEdit;

// Asks the address and the data of a write into a device's memory, both in
// hexadecimal digits, and offers the last ones ("writeEepromLastAddress",
// "writeEepromLastData"). OK is offered only for 1 to 4 address digits and 1
// byte up to what one write packet carries; an accept of anything else ends
// the dialog rejected.
class DialogWriteEeprom : public QDialog
{
    Q_OBJECT
public:
    // The data bytes one write packet carries (type, number and address first).
    static constexpr int MaxDataBytes = 247 - 4;

    explicit DialogWriteEeprom(QWidget *parent = nullptr);
    ~DialogWriteEeprom() override;

    // Store their text as the last one and return it read as hexadecimal; the
    // data's digits pair from the end (an odd first digit is a byte alone).
    QByteArray data();
    quint32 address();

    bool isValid() const;
    void done(int result) override;

private:
    void updateOkButton();

    QLineEdit *m_address;
    QLineEdit *m_data;
    QDialogButtonBox *m_buttons;
};
