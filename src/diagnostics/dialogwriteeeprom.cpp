#include "dialogwriteeeprom.h"

#include "dialogflags.h"
#include "frame.h"
#include "settings.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

static_assert(DialogWriteEeprom::MaxDataBytes == MaxKastrelPacketSize - 4,
              "a write packet fits the smaller frame of the two links");

DialogWriteEeprom::DialogWriteEeprom(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogWriteEeprom"));
    setWindowTitle(tr("Dialog"));
    setCloseButtonOnly(this);
    setModal(true);
    resize(346, 86);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Memory address:"), this), 0, 0);
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("leMemoryAddress"));
    grid->addWidget(m_address, 0, 1);
    grid->addWidget(new QLabel(tr("Data (hex form w/o 0x prefix):"), this), 1, 0);
    m_data = new QLineEdit(this);
    m_data->setObjectName(QStringLiteral("leData"));
    grid->addWidget(m_data, 1, 1);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    m_buttons->setObjectName(QStringLiteral("buttonBox"));
    grid->addWidget(m_buttons, 2, 0, 1, 2);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]*$"));
    m_address->setValidator(new QRegularExpressionValidator(hex, m_address));
    m_data->setValidator(new QRegularExpressionValidator(hex, m_data));
    m_address->setMaxLength(4);
    m_data->setMaxLength(2 * MaxDataBytes);

    // Room for the address's digits and a good stretch of data, whatever
    // the labels' length in the language in use.
    const QFontMetrics metrics = m_data->fontMetrics();
    m_address->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("FFFFFFFF")) + 16);
    m_data->setMinimumWidth(metrics.horizontalAdvance(QString(32, QLatin1Char('F'))) + 16);
    resize(qMax(width(), sizeHint().width()), qMax(height(), sizeHint().height()));

    m_data->setText(appSettings.value(QLatin1String(SettingsKey::WriteEepromLastData)).toString());
    m_address->setText(appSettings.value(QLatin1String(SettingsKey::WriteEepromLastAddress)).toString());
    connect(m_address, &QLineEdit::textChanged, this, &DialogWriteEeprom::updateOkButton);
    connect(m_data, &QLineEdit::textChanged, this, &DialogWriteEeprom::updateOkButton);
    updateOkButton();
}

DialogWriteEeprom::~DialogWriteEeprom() = default;

QByteArray DialogWriteEeprom::data()
{
    appSettings.setValue(QLatin1String(SettingsKey::WriteEepromLastData), m_data->text());
    return QByteArray::fromHex(m_data->text().toLatin1());
}

quint32 DialogWriteEeprom::address()
{
    appSettings.setValue(QLatin1String(SettingsKey::WriteEepromLastAddress), m_address->text());
    return m_address->text().toUInt(nullptr, 16);
}

bool DialogWriteEeprom::isValid() const
{
    const int addressDigits = m_address->text().size();
    const int dataDigits = m_data->text().size();
    QString address = m_address->text();
    QString data = m_data->text();
    int pos = 0;
    return addressDigits >= 1 && addressDigits <= 4 && dataDigits >= 1 && (dataDigits + 1) / 2 <= MaxDataBytes
           && m_address->validator()->validate(address, pos) == QValidator::Acceptable
           && m_data->validator()->validate(data, pos) == QValidator::Acceptable;
}

void DialogWriteEeprom::done(int result)
{
    if (result == Accepted && !isValid())
        result = Rejected;
    QDialog::done(result);
}

void DialogWriteEeprom::updateOkButton()
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(isValid());
}
