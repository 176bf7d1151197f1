#pragma once

#include <QMainWindow>
#include <QPointer>

namespace Ui {
class MainWindow;
}
namespace ZorvoLog {
class EventFilter;
}
class AboutDialog;
class ProgressWidget;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(const QString &filePath, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The command-line file given at start (empty when none).
    QString startupFilePath() const { return m_filePath; }

public slots:
    void newLogMessage(int level, const QString &message);

private:
    Ui::MainWindow *ui;
    QString m_filePath;
    AboutDialog *aboutDialog = nullptr;
    // Deletes itself when closed; the guarded pointer drops it then.
    QPointer<ProgressWidget> progressWidget;
    ZorvoLog::EventFilter *logEventFilter = nullptr;
};
