#pragma once

#include <QDialog>

namespace Ui {
class ProgressWidget;
}
class QMovie;

// Application-modal waiting window of long device operations: a status text,
// an optional progress bar and the busy animation. Deletes itself when a close
// is accepted; while closable, a close only asks and hides it.
class ProgressWidget : public QDialog
{
    Q_OBJECT
public:
    explicit ProgressWidget(QWidget *parent = nullptr);
    ~ProgressWidget() override;

    void setClosable(bool closable);
    bool isClosable() const { return closable; }
    void setText(const QString &text);
    void setTitle(const QString &text);

public slots:
    void setProgress(int value);

signals:
    // The user asked to end the waiting.
    void stop();

public slots:
    // Escape: the road of the close button (the question where closable,
    // else stop()).
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void applyWindowFlags();

    Ui::ProgressWidget *ui;
    QMovie *movie;
    bool closable = false;
};
