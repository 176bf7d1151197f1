// The graph pen editor: the controls show the pen given, each control edits
// the pen and the preview, Commit reports the pen once, Cancel and closing
// report nothing, and the cap list means what its texts say.
#include "plotfixture.h"
#include "qpeneditor.h"
#include "testsupport.h"
#include "uiseams.h"

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

#include <qcustomplot.h>

Q_DECLARE_METATYPE(Qt::PenCapStyle)

namespace {

QPen previewPen(QWidget *editor)
{
    return child<QCustomPlot>(editor, "plot")->graph(0)->pen();
}

// Installs a colour-dialog answer for its lifetime.
struct ColourAnswer
{
    explicit ColourAnswer(const QColor &answer)
    {
        UiSeams::setColorDialogHook([this, answer](const QColor &initial) {
            asked << initial;
            return answer;
        });
    }
    ~ColourAnswer() { UiSeams::setColorDialogHook(nullptr); }
    QList<QColor> asked;
};

} // namespace

class PenEditorTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestResources(); }

    void capStyles_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Qt::PenCapStyle>("cap");
        QTest::newRow("square") << 0 << "Square" << Qt::SquareCap;
        QTest::newRow("flat") << 1 << "Flat" << Qt::FlatCap;
        QTest::newRow("round") << 2 << "Round" << Qt::RoundCap;
    }
    // Both ways: the pen opens on the entry of its cap, and the entry chosen
    // gives that cap.
    void capStyles()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(Qt::PenCapStyle, cap);
        QPen pen(Qt::red);
        pen.setCapStyle(cap);
        QPointer<QPenEditor> editor = new QPenEditor(pen);
        auto *caps = child<QComboBox>(editor, "cbCapStyle");
        QCOMPARE(caps->currentIndex(), index);
        QCOMPARE(caps->currentText(), text);

        caps->setCurrentIndex((index + 1) % 3);
        caps->setCurrentIndex(index);
        QCOMPARE(editor->pen().capStyle(), cap);
        QCOMPARE(previewPen(editor).capStyle(), cap);
        delete editor;
    }

    void controlsShowAndEditThePen()
    {
        QPen pen(QBrush(QColor(50, 200, 50)), 4.0, Qt::DashLine, Qt::RoundCap, Qt::BevelJoin);
        auto *editor = new QPenEditor(pen);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Graph editor"));
        QCOMPARE(editor->windowModality(), Qt::ApplicationModal);
        QVERIFY(editor->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(child<QSlider>(editor, "slider")->value(), 4);
        QCOMPARE(child<QComboBox>(editor, "cbStyle")->currentIndex(), int(Qt::DashLine));
        QCOMPARE(editor->pen(), pen); // showing the pen changes nothing
        QCOMPARE(previewPen(editor), pen);
        const QCPGraph *preview = child<QCustomPlot>(editor, "plot")->graph(0);
        QCOMPARE(preview->dataCount(), 5);
        QCOMPARE(preview->data()->at(2)->value, 2.0);

        child<QSlider>(editor, "slider")->setValue(7);
        QCOMPARE(previewPen(editor).width(), 7);
        child<QComboBox>(editor, "cbStyle")->setCurrentIndex(0);
        QCOMPARE(previewPen(editor).style(), Qt::NoPen);

        {
            ColourAnswer answer(QColor(1, 2, 3));
            child<QPushButton>(editor, "pbSelectColor")->click();
            QCOMPARE(answer.asked, QList<QColor>{QColor(Qt::white)});
        }
        QCOMPARE(previewPen(editor).color(), QColor(1, 2, 3));
        {
            ColourAnswer cancelled{QColor()};
            child<QPushButton>(editor, "pbSelectColor")->click();
        }
        QCOMPARE(editor->pen().color(), QColor(1, 2, 3));

        QSignalSpy updated(editor, &QPenEditor::penUpdated);
        QPointer<QPenEditor> guard(editor);
        editor->show();
        child<QPushButton>(editor, "pbCommit")->click();
        child<QPushButton>(editor, "pbCommit")->click();
        QCOMPARE(updated.size(), 1);
        const QPen reported = updated.first().first().value<QPen>();
        QCOMPARE(reported.style(), Qt::NoPen);
        QCOMPARE(reported.width(), 7);
        QCOMPARE(reported.capStyle(), Qt::RoundCap);
        QCOMPARE(reported.color(), QColor(1, 2, 3));
        QTRY_VERIFY(!guard); // closed and deleted
    }

    void cancelAndCloseReportNothing()
    {
        for (bool byCancel : {true, false}) {
            auto *editor = new QPenEditor(QPen(Qt::blue));
            QSignalSpy updated(editor, &QPenEditor::penUpdated);
            QPointer<QPenEditor> guard(editor);
            editor->show();
            child<QSlider>(editor, "slider")->setValue(3);
            if (byCancel)
                child<QPushButton>(editor, "pbCancel")->click();
            else
                editor->close();
            QTRY_VERIFY(!guard);
            QCOMPARE(updated.size(), 0);
        }
    }
};

QTEST_MAIN(PenEditorTest)
#include "tst_peneditor.moc"
