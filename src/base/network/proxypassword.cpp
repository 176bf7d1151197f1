#include "proxypassword.h"

#include "settings.h"

#include <QCoreApplication>
#include <QDebug>

#include <qt5keychain/keychain.h>

namespace {
// The secret store's entry: the program's name and the settings key the
// password had in the file.
QString serviceName()
{
    return QCoreApplication::applicationName();
}

QString keyName()
{
    return QString::fromLatin1(SettingsKey::ProxyPassword);
}

void removeFromSettings()
{
    if (!appSettings.contains(keyName()))
        return;
    appSettings.remove(keyName());
    appSettings.sync();
}
} // namespace

ProxyPassword::ProxyPassword(QObject *parent) : QObject(parent) {}

ProxyPassword *ProxyPassword::instance()
{
    static QPointer<ProxyPassword> one;
    if (!one)
        one = new ProxyPassword(QCoreApplication::instance());
    return one;
}

void ProxyPassword::read()
{
    if (state != State::Unread)
        return;
    state = State::Reading;

    const QString legacy = appSettings.value(keyName()).toString();
    if (!legacy.isEmpty()) {
        text = legacy;
        auto *job = new QKeychain::WritePasswordJob(serviceName(), this);
        job->setTextData(legacy);
        connect(job, &QKeychain::Job::finished, this,
                [this, legacy](QKeychain::Job *done) { onLegacyMoved(done, legacy); });
        startJob(job);
        becomeKnown();
        return;
    }
    removeFromSettings(); // an empty entry of an older version

    auto *job = new QKeychain::ReadPasswordJob(serviceName(), this);
    const int writesBefore = writes;
    connect(job, &QKeychain::Job::finished, this, [this, writesBefore](QKeychain::Job *done) {
        if (writes == writesBefore) { // a write since then holds the newer text
            text.clear();
            reason.clear();
            if (done->error() == QKeychain::NoError)
                text = static_cast<QKeychain::ReadPasswordJob *>(done)->textData();
            else if (done->error() != QKeychain::EntryNotFound)
                reason = done->errorString();
        }
        becomeKnown();
    });
    startJob(job);
}

bool ProxyPassword::isKnown() const
{
    return state == State::Known;
}

QString ProxyPassword::password() const
{
    return text;
}

void ProxyPassword::write(const QString &password)
{
    const int write = ++writes;
    text = password;
    removeFromSettings();
    QKeychain::Job *job = nullptr;
    if (password.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(serviceName(), this);
    } else {
        auto *writeJob = new QKeychain::WritePasswordJob(serviceName(), this);
        writeJob->setTextData(password);
        job = writeJob;
    }
    const bool removal = password.isEmpty();
    connect(job, &QKeychain::Job::finished, this, [this, write, removal](QKeychain::Job *done) {
        if (write != writes)
            return; // a later write decides
        // Where no store answers, none holds a password to remove either.
        const bool kept = removal || done->error() == QKeychain::NoError;
        reason = kept ? QString() : done->errorString();
        if (!kept)
            qWarning().noquote() << "The proxy password is kept only until the program ends:" << reason;
        emit written(kept);
    });
    startJob(job);
    becomeKnown();
}

QString ProxyPassword::notKeptReason() const
{
    return reason;
}

void ProxyPassword::startJob(QKeychain::Job *job)
{
    job->setKey(keyName());
    job->setInsecureFallback(false); // never a file of its own
    job->start();
}

void ProxyPassword::becomeKnown()
{
    if (state == State::Known)
        return;
    state = State::Known;
    emit known();
}

void ProxyPassword::onLegacyMoved(QKeychain::Job *job, const QString &moved)
{
    if (job->error() != QKeychain::NoError) {
        if (writes == 0)
            reason = job->errorString();
        qWarning().noquote() << "The proxy password stays in the settings file until a secret store takes it:"
                             << job->errorString();
        return;
    }
    if (writes == 0)
        reason.clear();
    if (appSettings.value(keyName()).toString() == moved)
        removeFromSettings();
}
