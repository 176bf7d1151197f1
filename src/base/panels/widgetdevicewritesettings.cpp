#include "widgetdevicewritesettings.h"
#include "ui_widgetdevicewritesettings.h"

#include "resourcecache.h"

WidgetDeviceWriteSettings::WidgetDeviceWriteSettings(const QString &text, QWidget *parent)
    : QWidget(parent), ui(new Ui::WidgetDeviceWriteSettings), m_text(text)
{
    ui->setupUi(this);
    ui->pbWriteSettings->setIcon(ResourceCache::icon(QStringLiteral(":/icons/images/icons/png/save.png")));
    ui->description->setText(m_text);

    connect(ui->pbWriteSettings, &QPushButton::clicked, this, &WidgetDeviceWriteSettings::write);
    connect(&m_timer, &QTimer::timeout, this, &WidgetDeviceWriteSettings::incrementProgress);
    connect(this, &WidgetDeviceWriteSettings::timeout, this, &WidgetDeviceWriteSettings::onTimeout);
    m_timer.setInterval(1000);

    setState(NoChanges); // the state held counts as NoChanges: no notice
    m_timeout = 100;
    setMaximum(100);
}

WidgetDeviceWriteSettings::~WidgetDeviceWriteSettings()
{
    delete ui;
}

void WidgetDeviceWriteSettings::setText(const QString &text)
{
    m_text = text;
    ui->description->setText(m_text);
}

void WidgetDeviceWriteSettings::showIdle(bool buttonEnabled)
{
    ui->pbWriteSettings->setText(tr("Press to write settings"));
    ui->pbWriteSettings->setEnabled(buttonEnabled);
    ui->progressBar->setValue(0);
    ui->progressBar->setEnabled(false);
    m_timer.stop();
}

void WidgetDeviceWriteSettings::setState(state_t state)
{
    const QString waitNotice = tr("<div style=\"text-align: center; color:green; font-size: x-large; "
                                  "margin-left:20px\">Please wait...</div>");
    const QString timeoutNotice = tr("<div style=\"text-align: center; color:red; font-size: x-large; "
                                     "margin-left:20px\">Timeout, please try again...</div>");
    const QString savedNotice = tr("<br><div style=\"text-align: center; font-size:x-large; color: blue; "
                                   "margin-left:20px\">Settings saved!</div>");
    switch (state) {
    case NoChanges:
        if (m_state == WritingSettings)
            ui->description->setText(m_text + savedNotice);
        showIdle(false);
        break;
    case HasChanges:
        if (m_state == WriteTimeout)
            ui->description->setText(m_text + timeoutNotice);
        showIdle(true);
        break;
    case WritingSettings:
        ui->description->setText(m_text + waitNotice);
        ui->pbWriteSettings->setText(tr("Writing settings..."));
        ui->pbWriteSettings->setEnabled(false);
        ui->progressBar->setValue(0);
        ui->progressBar->setEnabled(true);
        m_timer.start();
        break;
    case SettingsSaved:
        ui->description->setText(m_text + savedNotice);
        showIdle(false);
        break;
    default:
        break;
    }
    m_state = state;
    emit stateChanged(state);
}

void WidgetDeviceWriteSettings::setMaximum(int maximum)
{
    ui->progressBar->setMaximum(maximum);
}

int WidgetDeviceWriteSettings::maximum() const
{
    return ui->progressBar->maximum();
}

void WidgetDeviceWriteSettings::setTimeout(int seconds)
{
    const int previous = m_timeout;
    m_timeout = seconds;
    if (ui->progressBar->maximum() == previous)
        ui->progressBar->setMaximum(seconds);
}

void WidgetDeviceWriteSettings::setTickInterval(int milliseconds)
{
    m_timer.setInterval(milliseconds);
}

void WidgetDeviceWriteSettings::incrementProgress()
{
    if (m_state != WritingSettings)
        return;
    ui->progressBar->setValue(ui->progressBar->value() + 1);
    if (ui->progressBar->value() == ui->progressBar->maximum())
        emit timeout();
}

void WidgetDeviceWriteSettings::onTimeout()
{
    m_state = WriteTimeout;
    setState(HasChanges);
}
