#include "proxysetup.h"
#include "ui_proxysetup.h"

#include "dialogflags.h"
#include "networkmanager.h"
#include "settings.h"

#include <QIcon>

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

    ui->cbEnable->setChecked(stored(SettingsKey::ProxyOn).toInt() == 1);
    ui->cbType->setCurrentIndex(stored(SettingsKey::ProxyType).toInt());
    ui->leHost->setText(stored(SettingsKey::ProxyHost).toString());
    ui->sbPort->setValue(stored(SettingsKey::ProxyPort).toInt());
    ui->leUser->setText(stored(SettingsKey::ProxyUser).toString());
    ui->lePassword->setText(stored(SettingsKey::ProxyPassword).toString());

    // Wired after loading, so loading stores nothing.
    connect(ui->cbEnable, &QCheckBox::toggled, this, &ProxySetup::onEnableToggled);
    connect(ui->pbDefault, &QPushButton::clicked, this, &ProxySetup::restoreDefaults);
}

ProxySetup::~ProxySetup()
{
    delete ui;
}

void ProxySetup::writeProxyDefaults()
{
    store(SettingsKey::ProxyOn, 1);
    store(SettingsKey::ProxyType, DefaultType);
    store(SettingsKey::ProxyHost, defaultHost());
    store(SettingsKey::ProxyPort, DefaultPort);
    store(SettingsKey::ProxyUser, QString());
    store(SettingsKey::ProxyPassword, QString());
    appSettings.sync();
}

void ProxySetup::restoreDefaults()
{
    ui->cbEnable->setChecked(true);
    ui->cbType->setCurrentIndex(DefaultType);
    ui->leHost->setText(defaultHost());
    ui->sbPort->setValue(DefaultPort);
    ui->leUser->clear();
    ui->lePassword->clear();
}

void ProxySetup::onEnableToggled(bool checked)
{
    store(SettingsKey::ProxyOn, checked ? 1 : 0);
    appSettings.sync();
    networkManager->applyProxySettings();
    emit setText(tr("Proxy ") + (checked ? tr("ON") : tr("OFF")), QStringLiteral("color: rgb(0, 0, 0);"));
}

void ProxySetup::accept()
{
    store(SettingsKey::ProxyOn, ui->cbEnable->isChecked() ? 1 : 0);
    store(SettingsKey::ProxyType, ui->cbType->currentIndex());
    store(SettingsKey::ProxyHost, ui->leHost->text());
    store(SettingsKey::ProxyPort, ui->sbPort->value());
    store(SettingsKey::ProxyUser, ui->leUser->text());
    store(SettingsKey::ProxyPassword, ui->lePassword->text());
    appSettings.sync();
    QDialog::accept();
}

void ProxySetup::reject()
{
    store(SettingsKey::ProxyOn, 0);
    appSettings.sync();
    QDialog::reject();
}
