#pragma once

#include <QByteArray>
#include <QDialog>

namespace Ui {
class SendCustomDataDialog;
}

// Asks for a raw command to send to a radio device, as hex text. Proposes the
// text last accepted ("last_custom_command"). OK is offered only while the text
// reads as whole bytes (parseHexBytes).
class SendCustomDataDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SendCustomDataDialog(QWidget *parent = nullptr);
    ~SendCustomDataDialog() override;

    // The typed bytes; empty while the text does not read as bytes.
    QByteArray data() const;
    bool hasValidData() const;

    // An accept while the text does not read as bytes ends the dialog rejected.
    void done(int result) override;

public slots:
    void onAccept();

private:
    void updateOkButton();

    Ui::SendCustomDataDialog *ui;
};
