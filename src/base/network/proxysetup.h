#pragma once

#include <QDialog>
#include <QString>
#include <QVariant>

namespace Ui {
class ProxySetup;
}
class NetworkManager;

// Edits the proxy of the update check. The Enable box takes effect at once;
// OK stores the other keys and the password (in the secret store, see
// ProxyPassword); leaving the dialog any other way stores nothing and puts
// back what the Enable box changed. A store that never held a proxy shows
// the defaults, not enabled.
class ProxySetup : public QDialog
{
    Q_OBJECT
public:
    static constexpr int DefaultType = 3; // HTTP proxy
    static constexpr int DefaultPort = 3128;
    static QString defaultHost();

    explicit ProxySetup(NetworkManager *networkManager, QWidget *parent = nullptr);
    ~ProxySetup() override;

    void accept() override;
    // Any end but OK (Cancel, Escape, the close button) takes back what the
    // Enable box changed.
    void done(int result) override;

signals:
    void setText(const QString &text, const QString &styleSheet = QStringLiteral("color: rgb(0, 0, 0);"));

private:
    void restoreDefaults();
    void onEnableToggled(bool checked);
    void showKnownPassword();
    void storeProxyOn(const QVariant &value);

    Ui::ProxySetup *ui;
    NetworkManager *networkManager;
    QVariant proxyOnAtStart; // invalid: never stored
    bool passwordEdited = false;
};
