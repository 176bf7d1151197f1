#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace QKeychain {
class Job;
}

// The password of the update check's proxy. It lives in the desktop's secret
// store, never in the settings file. Where no secret store answers (a bare
// machine, a session without one) it is kept in memory only, until the
// program ends, and notKeptReason() says why.
//
// The store answers asynchronously: read() and write() report by signal.
class ProxyPassword : public QObject
{
    Q_OBJECT
public:
    explicit ProxyPassword(QObject *parent = nullptr);

    // The program's one password, made on first use.
    static ProxyPassword *instance();

    // Reads the password once; does nothing while it is known or being read.
    // A password an older version kept in the settings file is taken from
    // there and moved into the secret store: it leaves the file only once the
    // store holds it, so it is never lost.
    void read();
    // Read or written in this run.
    bool isKnown() const;
    QString password() const;

    // Uses `password` from now on, removes any copy from the settings file and
    // writes it to the secret store (an empty password is removed from it).
    void write(const QString &password);

    // Empty while the secret store holds the password; otherwise the store's
    // error: the password is then kept only until the program ends.
    QString notKeptReason() const;

signals:
    // The first read ended (or a write made the password known first).
    void known();
    // A write ended; `kept`: the secret store holds it (see notKeptReason).
    void written(bool kept);

private:
    void startJob(QKeychain::Job *job);
    void becomeKnown();
    void onLegacyMoved(QKeychain::Job *job, const QString &moved);

    enum class State { Unread, Reading, Known };
    State state = State::Unread;
    QString text;
    QString reason;
    int writes = 0; // a read that ends after a write keeps the written text
};
