#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

namespace Ui {
class WidgetDeviceWriteSettings;
}

// The panel under a device's property tree: a description, a progress bar
// and the "write settings" button. It decides nothing about the device: its
// owner sets the state and reacts to write() and stateChanged().
class WidgetDeviceWriteSettings : public QWidget
{
    Q_OBJECT
public:
    // The panel's state; values outside State are stored and reported but
    // change nothing on screen.
    typedef int state_t;
    enum State : state_t {
        NoChanges = 0,       // nothing to write
        HasChanges = 1,      // edited settings wait to be written
        WritingSettings = 2, // a write is under way, the bar counts seconds
        WriteTimeout = 3,    // held only between the time-out and HasChanges
        SettingsSaved = 4,   // the device confirmed the write
    };

    explicit WidgetDeviceWriteSettings(const QString &text, QWidget *parent = nullptr);
    ~WidgetDeviceWriteSettings() override;

    // Replaces the description (HTML allowed) and drops any notice.
    void setText(const QString &text);
    QString text() const { return m_text; }

    state_t state() const { return m_state; }
    void setState(state_t state);

    // Progress maximum; the time-out is not changed.
    void setMaximum(int maximum);
    int maximum() const;
    // Write time-out in seconds. The progress maximum follows it unless it
    // was set apart from the time-out through setMaximum().
    void setTimeout(int seconds);
    int timeoutSeconds() const { return m_timeout; }

    // Length of one progress step (1000 ms); tests shorten it.
    void setTickInterval(int milliseconds);

signals:
    void write();
    // The progress reached its maximum while writing.
    void timeout();
    void stateChanged(int state);

private slots:
    void incrementProgress();
    void onTimeout();

private:
    void showIdle(bool buttonEnabled);

    Ui::WidgetDeviceWriteSettings *ui;
    state_t m_state = NoChanges;
    QTimer m_timer;
    QString m_text;
    int m_timeout = 100;
};
