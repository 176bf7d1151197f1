#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class ProxySetup;
}
class NetworkManager;

// Edits the proxy of the update check. The Enable box takes effect at once;
// OK stores the other keys, leaving the dialog any other way switches the
// proxy off.
class ProxySetup : public QDialog
{
    Q_OBJECT
public:
    static constexpr int DefaultType = 3; // HTTP proxy
    static constexpr int DefaultPort = 3128;
    static QString defaultHost();

    explicit ProxySetup(NetworkManager *networkManager, QWidget *parent = nullptr);
    ~ProxySetup() override;

    // Stores the default proxy (on, HTTP, the default host, port 3128, no
    // credentials) and writes the store at once.
    static void writeProxyDefaults();

    void accept() override;
    void reject() override;

signals:
    void setText(const QString &text, const QString &styleSheet = QStringLiteral("color: rgb(0, 0, 0);"));

private:
    void restoreDefaults();
    void onEnableToggled(bool checked);

    Ui::ProxySetup *ui;
    NetworkManager *networkManager;
};
