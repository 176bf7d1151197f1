#include "proxysetup.h"
#include "ui_proxysetup.h"

#include "dialogflags.h"
#include "networkmanager.h"
#include "proxypassword.h"
#include "settings.h"

#include <QIcon>
#include <QLineEdit>

namespace {
void store(const char *key, const QVariant &value)
{
    appSettings.setValue(QLatin1String(key), value);
}

QVariant stored(const char *key)
{
    return appSettings.value(QLatin1String(key));
}
} // namespace

QString ProxySetup::defaultHost()
{
    return QStringLiteral("proxy.zorvo.invalid");
}

ProxySetup::ProxySetup(NetworkManager *networkManager, QWidget *parent)
    : QDialog(parent), ui(new Ui::ProxySetup), networkManager(networkManager)
{
    ui->setupUi(this);
    setCloseButtonOnly(this);

    // The entry's position is its proxy type number.
    const QStringList kinds = {tr("Defaultp proxy"), tr("Socks5 proxy"), tr("No proxy"),
                               tr("Http proxy"),     tr("Http caching proxy"), tr("FtpCaching proxy")};
    for (int type = 0; type < kinds.size(); ++type)
        ui->cbType->addItem(QIcon(), kinds.at(type), type);

    proxyOnAtStart = stored(SettingsKey::ProxyOn);
    ui->cbEnable->setChecked(proxyOnAtStart.toInt() == 1);
    if (stored(SettingsKey::ProxyType).isValid()) {
        ui->cbType->setCurrentIndex(stored(SettingsKey::ProxyType).toInt());
        ui->leHost->setText(stored(SettingsKey::ProxyHost).toString());
        ui->sbPort->setValue(stored(SettingsKey::ProxyPort).toInt());
        ui->leUser->setText(stored(SettingsKey::ProxyUser).toString());
    } else {
        ui->cbType->setCurrentIndex(DefaultType);
        ui->leHost->setText(defaultHost());
        ui->sbPort->setValue(DefaultPort);
    }
    // The password comes from the secret store, perhaps after the dialog opened.
    ProxyPassword *password = ProxyPassword::instance();
    connect(password, &ProxyPassword::known, this, &ProxySetup::showKnownPassword);
    connect(ui->lePassword, &QLineEdit::textEdited, this, [this] { passwordEdited = true; });
    password->read();
    showKnownPassword();

    // Wired after loading, so loading stores nothing.
    connect(ui->cbEnable, &QCheckBox::toggled, this, &ProxySetup::onEnableToggled);
    connect(ui->pbDefault, &QPushButton::clicked, this, &ProxySetup::restoreDefaults);
}

ProxySetup::~ProxySetup()
{
    delete ui;
}

void ProxySetup::showKnownPassword()
{
    const ProxyPassword *password = ProxyPassword::instance();
    if (password->isKnown() && !passwordEdited)
        ui->lePassword->setText(password->password());
}

void ProxySetup::restoreDefaults()
{
    ui->cbEnable->setChecked(true);
    ui->cbType->setCurrentIndex(DefaultType);
    ui->leHost->setText(defaultHost());
    ui->sbPort->setValue(DefaultPort);
    ui->leUser->clear();
    ui->lePassword->clear();
    passwordEdited = true;
}

void ProxySetup::storeProxyOn(const QVariant &value)
{
    if (value.isValid())
        store(SettingsKey::ProxyOn, value);
    else
        appSettings.remove(QLatin1String(SettingsKey::ProxyOn));
    appSettings.sync();
    networkManager->applyProxySettings();
    const bool on = value.toInt() == 1;
    emit setText(tr("Proxy ") + (on ? tr("ON") : tr("OFF")), QStringLiteral("color: rgb(0, 0, 0);"));
}

void ProxySetup::onEnableToggled(bool checked)
{
    storeProxyOn(checked ? 1 : 0);
}

void ProxySetup::accept()
{
    store(SettingsKey::ProxyOn, ui->cbEnable->isChecked() ? 1 : 0);
    store(SettingsKey::ProxyType, ui->cbType->currentIndex());
    store(SettingsKey::ProxyHost, ui->leHost->text());
    store(SettingsKey::ProxyPort, ui->sbPort->value());
    store(SettingsKey::ProxyUser, ui->leUser->text());
    appSettings.sync();
    // An untouched field (perhaps of a password still being read) changes nothing.
    ProxyPassword *password = ProxyPassword::instance();
    const QString typed = ui->lePassword->text();
    if (passwordEdited && !(password->isKnown() && typed == password->password()))
        password->write(typed);
    QDialog::accept();
}

void ProxySetup::done(int result)
{
    const QVariant now = stored(SettingsKey::ProxyOn);
    if (result != Accepted && (now.isValid() != proxyOnAtStart.isValid() || now.toInt() != proxyOnAtStart.toInt()))
        storeProxyOn(proxyOnAtStart);
    QDialog::done(result);
}
