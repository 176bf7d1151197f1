#include "datetimerange.h"

#include "deviceinfocollector.h"
#include "messageboxes.h"

#include <QDateEdit>
#include <QDebug>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimeEdit>

namespace {

const char *const DateFormat = "yyyy-MM-dd";
const char *const TimeFormat = "hh:mm:ss.zzz";

QGroupBox *rangeBox(QWidget *parent, const QString &title, const char *name, const char *layoutName,
                    const char *dayLabel, const char *timeLabel, QDateEdit **date, QTimeEdit **time,
                    const char *dateName, const char *timeName)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    box->setMinimumSize(180, 90);
    auto *grid = new QGridLayout(box);
    grid->setObjectName(QLatin1String(layoutName));
    auto *day = new QLabel(DateTimeRange::tr("Day"), box);
    day->setObjectName(QLatin1String(dayLabel));
    day->setMinimumWidth(50);
    auto *clock = new QLabel(DateTimeRange::tr("Time"), box);
    clock->setObjectName(QLatin1String(timeLabel));
    clock->setMinimumWidth(50);
    *date = new QDateEdit(box);
    (*date)->setObjectName(QLatin1String(dateName));
    *time = new QTimeEdit(box);
    (*time)->setObjectName(QLatin1String(timeName));
    (*time)->setDisplayFormat(DateTimeRange::tr("hh:mm:ss.zzz"));
    grid->addWidget(day, 0, 0);
    grid->addWidget(*date, 0, 1);
    grid->addWidget(clock, 1, 0);
    grid->addWidget(*time, 1, 1);
    grid->setColumnStretch(1, 1);
    return box;
}

} // namespace

DateTimeRange::DateTimeRange(DeviceInfoCollector *collector, const QString &folder, QWidget *parent)
    : QWidget(parent), collector(collector)
{
    setObjectName(QStringLiteral("DateTimeRange"));
    setWindowTitle(tr("Measurements saving"));
    auto *gridLayout_3 = new QGridLayout(this);
    gridLayout_3->setObjectName(QStringLiteral("gridLayout_3"));
    lblTop = new QLabel(tr("Save measurements to"), this);
    lblTop->setObjectName(QStringLiteral("lblTop"));
    lblTop->setAlignment(Qt::AlignCenter);
    lblPath = new QLabel(tr("not selected"), this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblPath->setAlignment(Qt::AlignCenter);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setValue(0);
    auto *gbStart = rangeBox(this, tr("Start", "range start"), "gbStart", "gridLayout", "label", "label_2", &deStart,
                             &teStart, "deStart", "teStart");
    auto *gbEnd = rangeBox(this, tr("End"), "gbEnd", "gridLayout_2", "label_3", "label_4", &deEnd, &teEnd, "deEnd",
                           "teEnd");
    pbCancel = new QPushButton(tr("Cancel"), this);
    pbCancel->setObjectName(QStringLiteral("pbCancel"));
    pbCancel->setMinimumWidth(120);
    pbSave = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/save.png")), tr("Save"), this);
    pbSave->setObjectName(QStringLiteral("pbSave"));
    pbSave->setMinimumWidth(120);
    gridLayout_3->addWidget(lblTop, 0, 0, 1, 4);
    gridLayout_3->addWidget(lblPath, 1, 0, 1, 4);
    gridLayout_3->addWidget(progressBar, 2, 0, 1, 4);
    gridLayout_3->addWidget(gbStart, 3, 0, 1, 2);
    gridLayout_3->addWidget(gbEnd, 3, 2, 1, 2);
    gridLayout_3->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 4, 0);
    gridLayout_3->addWidget(pbCancel, 4, 1, 1, 2);
    gridLayout_3->addWidget(pbSave, 4, 3);
    setTabOrder(pbSave, pbCancel);
    setTabOrder(pbCancel, deStart);
    setTabOrder(deStart, teStart);
    setTabOrder(teStart, deEnd);
    setTabOrder(deEnd, teEnd);

    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    // The bar's room is kept while it is hidden: the window does not grow
    // when a backup starts.
    QSizePolicy barPolicy = progressBar->sizePolicy();
    barPolicy.setRetainSizeWhenHidden(true);
    progressBar->setSizePolicy(barPolicy);
    progressBar->hide();
    lblPath->setText(folder);
    lblPath->setProperty("path", folder);
    // A long folder does not widen the window; the tip shows it whole.
    lblPath->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblPath->setToolTip(folder);
    // A fixed size, at least 400 x 220 and as large as the fields need.
    setFixedSize(sizeHint().expandedTo(QSize(400, 220)));

    connect(pbCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(pbSave, &QPushButton::clicked, this, &DateTimeRange::startBackup);
    if (collector) {
        connect(collector, &DeviceInfoCollector::setProgressBarValue, progressBar, &QProgressBar::setValue);
        connect(collector, &DeviceInfoCollector::backupConnectionNameReceived, this,
                &DateTimeRange::onBackupConnectionNameReceived);
        connect(collector, &DeviceInfoCollector::backupFileClosed, this, &DateTimeRange::onBackupFileClosed);
        connect(collector, &DeviceInfoCollector::backupFailed, this, &DateTimeRange::onBackupFailed);
    }
    connect(deStart, &QDateEdit::dateChanged, this, &DateTimeRange::updateSaveEnabled);
    connect(deEnd, &QDateEdit::dateChanged, this, &DateTimeRange::updateSaveEnabled);
    connect(teStart, &QTimeEdit::timeChanged, this, &DateTimeRange::updateSaveEnabled);
    connect(teEnd, &QTimeEdit::timeChanged, this, &DateTimeRange::updateSaveEnabled);
    deStart->setFocus();
}

void DateTimeRange::setStartDate(const QDate &date)
{
    deStart->setDate(date);
    deStart->setFocus();
}

void DateTimeRange::setStartTime(const QTime &time)
{
    teStart->setTime(time);
    deStart->setFocus();
}

void DateTimeRange::setEndDate(const QDate &date)
{
    deEnd->setDate(date);
    deStart->setFocus();
}

void DateTimeRange::setEndTime(const QTime &time)
{
    teEnd->setTime(time);
    deStart->setFocus();
}

QString DateTimeRange::startText() const
{
    return deStart->date().toString(QLatin1String(DateFormat)) + QLatin1Char(' ')
           + teStart->time().toString(QLatin1String(TimeFormat));
}

QString DateTimeRange::endText() const
{
    return deEnd->date().toString(QLatin1String(DateFormat)) + QLatin1Char(' ')
           + teEnd->time().toString(QLatin1String(TimeFormat));
}

void DateTimeRange::updateSaveEnabled()
{
    const QDateTime start(deStart->date(), teStart->time());
    const QDateTime end(deEnd->date(), teEnd->time());
    pbSave->setEnabled(start < end);
}

void DateTimeRange::startBackup()
{
    if (collector)
        collector->makeBackupfile(lblPath->property("path").toString());
}

void DateTimeRange::onBackupConnectionNameReceived(const QString &backupConnectionName)
{
    if (!m_backup.isEmpty())
        return; // another window's backup
    if (backupConnectionName.isEmpty()) {
        lblTop->setText(tr("Can't open database for backup"));
        return;
    }
    if (!collector)
        return;
    m_backup = backupConnectionName;
    m_failure.clear();
    collector->backupDeviceTypeTable(backupConnectionName, true);
    progressBar->setValue(0);
    progressBar->show();
    setEnabled(false);
    collector->backup(backupConnectionName, startText(), endText(), QString(), QString(), -1);
    collector->closeBackupfile(backupConnectionName);
}

void DateTimeRange::onBackupFailed(const QString &backupConnectionName, const QString &text)
{
    if (backupConnectionName == m_backup && m_failure.isEmpty())
        m_failure = text.isEmpty() ? tr("unknown error") : text;
}

void DateTimeRange::onBackupFileClosed(const QString &backupFilename)
{
    if (backupFilename != m_backup)
        return;
    qDebug().noquote() << "Backup file " + backupFilename + " closed";
    if (m_failure.isEmpty())
        showInformationMessage(tr("Measurements saved"), tr("Save measurements"));
    else
        showWarningMessage(tr("Measurements not saved: %1").arg(m_failure), tr("Save measurements"));
    close();
}
