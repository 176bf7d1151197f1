#pragma once

#include <QDate>
#include <QPointer>
#include <QTime>
#include <QWidget>

class DeviceInfoCollector;
class QDateEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimeEdit;

// Saves the measurements of a date and time range of the session database
// into a new backup file in a chosen folder. The collector does the work;
// this window shows its progress and the outcome.
class DateTimeRange : public QWidget
{
    Q_OBJECT
public:
    DateTimeRange(DeviceInfoCollector *collector, const QString &folder, QWidget *parent = nullptr);

    void setStartDate(const QDate &date);
    void setStartTime(const QTime &time);
    void setEndDate(const QDate &date);
    void setEndTime(const QTime &time);

    // The range ends as the collector compares them.
    QString startText() const;
    QString endText() const;

public slots:
    void onBackupConnectionNameReceived(const QString &backupConnectionName);
    void onBackupFileClosed(const QString &backupFilename);

private:
    void startBackup();
    void updateSaveEnabled();
    void onBackupFailed(const QString &backupConnectionName, const QString &text);

    QLabel *lblTop;
    QLabel *lblPath;
    QProgressBar *progressBar;
    QDateEdit *deStart;
    QTimeEdit *teStart;
    QDateEdit *deEnd;
    QTimeEdit *teEnd;
    QPushButton *pbCancel;
    QPushButton *pbSave;
    QPointer<DeviceInfoCollector> collector;
    // The backup this window runs; empty before the collector named it.
    QString m_backup;
    QString m_failure;
};
