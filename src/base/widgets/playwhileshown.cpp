#include "playwhileshown.h"

#include <QEvent>
#include <QMovie>
#include <QWidget>

namespace {
class ShownGate : public QObject
{
public:
    explicit ShownGate(QMovie *movie) : QObject(movie), m_movie(movie) {}

    void follow(bool shown)
    {
        if (shown) {
            if (m_movie->state() == QMovie::Paused)
                m_movie->setPaused(false);
            else if (m_movie->state() == QMovie::NotRunning)
                m_movie->start();
        } else if (m_movie->state() == QMovie::Running) {
            m_movie->setPaused(true);
        }
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            follow(true);
        else if (event->type() == QEvent::Hide)
            follow(false);
        return false;
    }

private:
    QMovie *m_movie;
};
} // namespace

void playWhileShown(QMovie *movie, QWidget *window)
{
    auto *gate = new ShownGate(movie);
    window->installEventFilter(gate);
    if (window->isVisible())
        gate->follow(true);
}
