#pragma once

#include <QWidget>

namespace Ui {
class WaitMovie;
}
class QMovie;

// Frameless application-modal window with a title, the busy animation and a
// text. Its creator closes it; it deletes itself then.
class WaitMovie : public QWidget
{
    Q_OBJECT
public:
    WaitMovie(const QString &title, const QString &text, QWidget *parent = nullptr);
    ~WaitMovie() override;

private:
    Ui::WaitMovie *ui;
    QMovie *movie;
};
