// The group box that keeps its frame's picture: what its repaints put on the
// window is what a plain group box puts there, after any change of its look
// since the picture was drawn, whether a child alone repaints over it or the
// whole box does.
#include "cachedgroupbox.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QStyleFactory>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// A box like the firmware dock's upper half: a label, and a bar whose rounded
// corners leave it not opaque, so that it paints the box under it first.
struct Sample
{
    explicit Sample(QGroupBox *groupBox) : box(groupBox)
    {
        box->setParent(&window);
        box->setTitle(QStringLiteral("Firmware uploading"));
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        auto *grid = new QGridLayout(box);
        label = new QLabel(QStringLiteral("Upload firmware to device"), box);
        grid->addWidget(label, 0, 0);
        bar = new QProgressBar(box);
        bar->setStyleSheet(QStringLiteral("QProgressBar {background-color: rgb(240, 240, 240);"
                                          "border: 2px solid grey;border-radius: 5px;text-align: center;}"
                                          "QProgressBar::chunk {background-color: #96C8FF;}"));
        bar->setValue(10);
        grid->addWidget(bar, 1, 0);
        window.resize(360, 140);
    }

    // What the window shows: its backing store as the repaints left it.
    QImage shown()
    {
        // Repaints asked for by the change happen now, not at some later turn.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        return window.screen()->grabWindow(window.winId()).toImage();
    }

    QWidget window;
    QGroupBox *box;
    QLabel *label = nullptr;
    QProgressBar *bar = nullptr;
};

// A change of the box's look, given the other style to take.
using Change = std::function<void(QGroupBox *box, QStyle *other)>;

const QList<QPair<const char *, Change>> &changes()
{
    static const QList<QPair<const char *, Change>> list{
        {"unchanged", [](QGroupBox *, QStyle *) {}},
        {"disabled", [](QGroupBox *box, QStyle *) { box->setEnabled(false); }},
        {"checkable", [](QGroupBox *box, QStyle *) { box->setCheckable(true); }},
        {"unchecked",
         [](QGroupBox *box, QStyle *) {
             box->setCheckable(true);
             box->setChecked(false);
         }},
        {"flat", [](QGroupBox *box, QStyle *) { box->setFlat(true); }},
        {"longer title",
         [](QGroupBox *box, QStyle *) { box->setTitle(QStringLiteral("Firmware uploading into the master")); }},
        {"no title", [](QGroupBox *box, QStyle *) { box->setTitle(QString()); }},
        {"palette",
         [](QGroupBox *box, QStyle *) {
             QPalette palette = box->palette();
             palette.setColor(QPalette::Window, QColor(200, 220, 200));
             palette.setColor(QPalette::WindowText, Qt::darkBlue);
             palette.setColor(QPalette::Light, QColor(250, 200, 200));
             palette.setColor(QPalette::Mid, QColor(120, 160, 120));
             palette.setColor(QPalette::Dark, QColor(60, 60, 140));
             box->setPalette(palette);
         }},
        {"larger font",
         [](QGroupBox *box, QStyle *) {
             QFont font = box->font();
             font.setPointSize(font.pointSize() + 6);
             box->setFont(font);
         }},
        {"resized", [](QGroupBox *box, QStyle *) { box->window()->resize(420, 200); }},
        {"other style", [](QGroupBox *box, QStyle *other) { box->setStyle(other); }},
        {"style sheet",
         [](QGroupBox *box, QStyle *) {
             box->setStyleSheet(QStringLiteral("QGroupBox {border: 2px solid rgb(120, 120, 200);"
                                               "border-radius: 4px; margin-top: 2ex;}"));
         }},
        {"right to left", [](QGroupBox *box, QStyle *) { box->setLayoutDirection(Qt::RightToLeft); }},
    };
    return list;
}

} // namespace

class CachedGroupBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void looksAsThePlainBox_data()
    {
        QTest::addColumn<QString>("styleName");
        QTest::addColumn<int>("change");
        for (const char *styleName : {"Fusion", "Windows"})
            for (int change = 0; change < changes().size(); ++change)
                QTest::addRow("%s, %s", styleName, changes().at(change).first) << QString::fromLatin1(styleName) << change;
    }

    void looksAsThePlainBox()
    {
        QFETCH(QString, styleName);
        QFETCH(int, change);
        const std::unique_ptr<QStyle> first(QStyleFactory::create(styleName));
        const std::unique_ptr<QStyle> other(
            QStyleFactory::create(styleName == QLatin1String("Fusion") ? QStringLiteral("Windows")
                                                                       : QStringLiteral("Fusion")));
        QVERIFY(first && other);
        Sample plain(new QGroupBox);
        Sample cached(new CachedGroupBox);
        for (Sample *sample : {&plain, &cached}) {
            sample->box->setStyle(first.get());
            sample->window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&sample->window));
        }
        // The bar alone repaints: the cached box draws its picture.
        for (Sample *sample : {&plain, &cached})
            sample->bar->setValue(20);
        QCOMPARE(cached.shown(), plain.shown());

        for (Sample *sample : {&plain, &cached})
            changes().at(change).second(sample->box, other.get());
        QCOMPARE(cached.shown(), plain.shown());
        // The bar repaints over the box in its new look, at every step.
        for (const int value : {21, 60, 100}) {
            for (Sample *sample : {&plain, &cached})
                sample->bar->setValue(value);
            QVERIFY2(cached.shown() == plain.shown(), qPrintable(QStringLiteral("at %1%").arg(value)));
        }
        // The label and the lower half inside the frame repaint alone.
        for (Sample *sample : {&plain, &cached}) {
            sample->label->repaint();
            const QRect inside = sample->box->contentsRect();
            sample->box->repaint(inside.adjusted(0, inside.height() / 2, 0, 0));
        }
        QCOMPARE(cached.shown(), plain.shown());
        // Parts of the box rendered alone: the title, the bar, the label.
        const QRect title(0, 0, plain.window.width(), plain.bar->mapTo(&plain.window, QPoint()).y() / 2);
        for (const QRect &part : {title, plain.bar->geometry().translated(plain.box->pos()),
                                  plain.label->geometry().translated(plain.box->pos())})
            QCOMPARE(cached.window.grab(part).toImage(), plain.window.grab(part).toImage());
    }
};

QTEST_MAIN(CachedGroupBoxTest)
#include "tst_cachedgroupbox.moc"
