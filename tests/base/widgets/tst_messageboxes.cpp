// Message-box helpers: argument order, icons, buttons, escape rules and sizes,
// through the hook and on real boxes.
#include "messageboxes.h"
#include "testsupport.h"
#include "uiseams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QtTest>

using UiSeams::MessageBoxRequest;

Q_DECLARE_METATYPE(MessageBoxRequest::Kind)
Q_DECLARE_METATYPE(QMessageBox::StandardButtons)
Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {

const QString Text = QStringLiteral("Main text");
const QString Info = QStringLiteral("Informative text");
const QString Title = QStringLiteral("Window title");

enum Helper { Critical, Information, Warning, WarningDetails, Question, User, Choice, WarningAsk };

// Calls one helper with the fixed texts; the buttons or labels from the row,
// and the default and escape buttons a caller may name.
int call(Helper helper, QMessageBox::StandardButtons buttons, const QStringList &labels,
         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
         QMessageBox::StandardButton escapeButton = QMessageBox::NoButton)
{
    switch (helper) {
    case Critical:
        showCriticalMessage(Text, Title);
        return 0;
    case Information:
        showInformationMessage(Text, Title);
        return 0;
    case Warning:
        showWarningMessage(Text, Title);
        return 0;
    case WarningDetails:
        showWarningDetails(Text, Info, Title);
        return 0;
    case Question:
        return askQuestion(Text, Title, buttons, defaultButton, escapeButton);
    case User:
        return askUser(Text, Info, Title, buttons, defaultButton, escapeButton);
    case Choice:
        return askChoice(Text, Title, labels);
    case WarningAsk:
        return askWarning(Text, Info, Title, buttons, QMessageBox::Ignore, QStringLiteral("Continue anyway"),
                          defaultButton, escapeButton);
    }
    return 0;
}

int messageBoxesLeft()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += qobject_cast<QMessageBox *>(w) ? 1 : 0;
    return n;
}

// What a test reads from the real box before closing it.
struct SeenBox
{
    bool found = false;
    QString title, text, informativeText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons standardButtons;
    QStringList buttonTexts;
    bool hasParent = true;
    Qt::WindowModality modality = Qt::NonModal;
    QSize size;
};

enum Close { Escape, CloseWindow, Click0, Click1, Click2, ClickYes, Enter };

// Answers the next box as a user would: Enter, Escape or the title bar's close.
void press(QWidget *w, Close how)
{
    if (how == Enter)
        QTest::keyClick(w, Qt::Key_Return);
    else if (how == Escape)
        QTest::keyClick(w, Qt::Key_Escape);
    else
        w->close();
}

} // namespace

Q_DECLARE_METATYPE(Helper)
Q_DECLARE_METATYPE(Close)

class MessageBoxesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestResources(); }

    void argumentsReachTheirFields_data()
    {
        QTest::addColumn<Helper>("helper");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<MessageBoxRequest::Kind>("kind");
        QTest::addColumn<QString>("informative");
        QTest::addColumn<QMessageBox::StandardButtons>("recordedButtons");
        QTest::addColumn<QStringList>("recordedChoices");

        const QMessageBox::StandardButtons none;
        const QMessageBox::StandardButtons ok(QMessageBox::Ok);
        const QMessageBox::StandardButtons yesNo(QMessageBox::Yes | QMessageBox::No);
        const QStringList abc{"A", "B", "C"};
        QTest::newRow("critical") << Critical << none << QStringList() << MessageBoxRequest::Critical
                                  << QString() << ok << QStringList();
        QTest::newRow("information") << Information << none << QStringList()
                                     << MessageBoxRequest::Information << QString() << ok << QStringList();
        QTest::newRow("warning") << Warning << none << QStringList() << MessageBoxRequest::Warning
                                 << QString() << ok << QStringList();
        QTest::newRow("warning details") << WarningDetails << none << QStringList()
                                         << MessageBoxRequest::WarningDetails << Info << ok << QStringList();
        QTest::newRow("question") << Question << yesNo << QStringList() << MessageBoxRequest::Question
                                  << QString() << yesNo << QStringList();
        QTest::newRow("user") << User << yesNo << QStringList() << MessageBoxRequest::User << Info << yesNo
                              << QStringList();
        QTest::newRow("choice") << Choice << none << abc << MessageBoxRequest::Choice << QString() << none
                                << abc;
        QTest::newRow("choice drops extra labels")
            << Choice << none << QStringList{"A", "B", "C", "D"} << MessageBoxRequest::Choice << QString()
            << none << abc;
        const QMessageBox::StandardButtons abortIgnore(QMessageBox::Abort | QMessageBox::Ignore);
        QTest::newRow("warning question") << WarningAsk << abortIgnore << QStringList()
                                          << MessageBoxRequest::WarningQuestion << Info << abortIgnore << QStringList();
    }

    void argumentsReachTheirFields()
    {
        QFETCH(Helper, helper);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QStringList, labels);
        QFETCH(MessageBoxRequest::Kind, kind);
        QFETCH(QString, informative);
        QFETCH(QMessageBox::StandardButtons, recordedButtons);
        QFETCH(QStringList, recordedChoices);

        MessageBoxRecorder recorder;
        recorder.answer(12345);
        const int result = call(helper, buttons, labels);
        QCOMPARE(recorder.count(), 1);
        const MessageBoxRequest r = recorder.last();
        QCOMPARE(r.kind, kind);
        QCOMPARE(r.text, Text);
        QCOMPARE(r.title, Title);
        QCOMPARE(r.informativeText, informative);
        QCOMPARE(r.buttons, recordedButtons);
        QCOMPARE(r.choices, recordedChoices);
        QVERIFY(r.modal);
        if (helper == WarningAsk) {
            QCOMPARE(r.renamedButton, QMessageBox::Ignore);
            QCOMPARE(r.renamedText, QStringLiteral("Continue anyway"));
        } else {
            QCOMPARE(r.renamedButton, QMessageBox::NoButton);
        }
        // The hook's answer is what the asking helpers return.
        if (helper >= Question)
            QCOMPARE(result, 12345);
        QCOMPARE(messageBoxesLeft(), 0);
    }

    void recorderDefaults_data()
    {
        QTest::addColumn<Helper>("helper");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<int>("expected");

        QTest::newRow("question yes/no") << Question << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No)
                                         << QStringList() << int(QMessageBox::Yes);
        QTest::newRow("user ok/cancel") << User << QMessageBox::StandardButtons(QMessageBox::Ok | QMessageBox::Cancel)
                                        << QStringList() << int(QMessageBox::Ok);
        QTest::newRow("user retry/close") << User
                                          << QMessageBox::StandardButtons(QMessageBox::Retry | QMessageBox::Close)
                                          << QStringList() << int(QMessageBox::Close);
        QTest::newRow("choice of three") << Choice << QMessageBox::StandardButtons() << QStringList{"a", "b", "c"} << 2;
        QTest::newRow("choice of two") << Choice << QMessageBox::StandardButtons() << QStringList{"a", "b"} << 1;
    }

    void recorderDefaults()
    {
        QFETCH(Helper, helper);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QStringList, labels);
        QFETCH(int, expected);
        MessageBoxRecorder recorder;
        QCOMPARE(call(helper, buttons, labels), expected);
    }

    void recorderAnswersInOrderAndRestoresTheHook()
    {
        int outerCalls = 0;
        UiSeams::setMessageBoxHook([&outerCalls](const MessageBoxRequest &) {
            ++outerCalls;
            return int(QMessageBox::Abort);
        });
        {
            MessageBoxRecorder recorder;
            recorder.answer(QMessageBox::No).answer(1);
            QCOMPARE(askQuestion(Text, Title, QMessageBox::Yes | QMessageBox::No), int(QMessageBox::No));
            // A non-modal box takes no scripted answer.
            UiSeams::showNonModalMessage(QMessageBox::Warning, Text, Title);
            QCOMPARE(recorder.pendingAnswers(), 1);
            QCOMPARE(askChoice(Text, Title, {"a", "b", "c"}), 1);
            QCOMPARE(recorder.count(), 3);
            QCOMPARE(recorder.requests().at(1).modal, false);
            QCOMPARE(recorder.requests().at(1).kind, MessageBoxRequest::Warning);
        }
        QCOMPARE(askQuestion(Text, Title, QMessageBox::Yes), int(QMessageBox::Abort));
        QCOMPARE(outerCalls, 1);
        UiSeams::setMessageBoxHook({});
    }

    void realBox_data()
    {
        QTest::addColumn<Helper>("helper");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<Close>("close");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QString>("informative");
        QTest::addColumn<QMessageBox::StandardButtons>("shownStandard");
        QTest::addColumn<QStringList>("shownTexts"); // custom button texts, in order
        QTest::addColumn<int>("expected");
        QTest::addColumn<QSize>("minimumSize");

        const QMessageBox::StandardButtons none;
        const QMessageBox::StandardButtons ok(QMessageBox::Ok);
        const QMessageBox::StandardButtons yesNo(QMessageBox::Yes | QMessageBox::No);
        const QStringList three{"New window", "Current window", "Cancel"};
        const QSize any(0, 0);

        QTest::newRow("critical: single automatic Ok")
            << Critical << none << QStringList() << Escape << QMessageBox::Critical << QString() << ok
            << QStringList() << 0 << any;
        QTest::newRow("warning: single automatic Ok")
            << Warning << none << QStringList() << CloseWindow << QMessageBox::Warning << QString() << ok
            << QStringList() << 0 << any;
        QTest::newRow("information") << Information << none << QStringList() << Escape
                                     << QMessageBox::Information << QString() << ok << QStringList() << 0 << any;
        QTest::newRow("warning details") << WarningDetails << none << QStringList() << Escape
                                         << QMessageBox::Warning << Info << ok << QStringList() << 0 << any;
        QTest::newRow("question escape gives No")
            << Question << yesNo << QStringList() << Escape << QMessageBox::Question << QString() << yesNo
            << QStringList() << int(QMessageBox::No) << any;
        QTest::newRow("question close gives No")
            << Question << yesNo << QStringList() << CloseWindow << QMessageBox::Question << QString() << yesNo
            << QStringList() << int(QMessageBox::No) << any;
        QTest::newRow("question yes") << Question << yesNo << QStringList() << ClickYes << QMessageBox::Question
                                      << QString() << yesNo << QStringList() << int(QMessageBox::Yes) << any;
        QTest::newRow("user: no icon, large, escape presses Close")
            << User << QMessageBox::StandardButtons(QMessageBox::Retry | QMessageBox::Close) << QStringList()
            << Escape << QMessageBox::NoIcon << Info
            << QMessageBox::StandardButtons(QMessageBox::Retry | QMessageBox::Close) << QStringList()
            << int(QMessageBox::Close) << QSize(660, 520);
        QTest::newRow("user yes") << User << yesNo << QStringList() << ClickYes << QMessageBox::NoIcon << Info
                                  << yesNo << QStringList() << int(QMessageBox::Yes) << QSize(660, 520);
        QTest::newRow("choice escape") << Choice << none << three << Escape << QMessageBox::Question << QString()
                                       << none << three << 2 << QSize(800, 0);
        QTest::newRow("choice close") << Choice << none << three << CloseWindow << QMessageBox::Question
                                      << QString() << none << three << 2 << QSize(800, 0);
        QTest::newRow("choice first") << Choice << none << three << Click0 << QMessageBox::Question << QString()
                                      << none << three << 0 << QSize(800, 0);
        QTest::newRow("choice second") << Choice << none << three << Click1 << QMessageBox::Question
                                       << QString() << none << three << 1 << QSize(800, 0);
        QTest::newRow("choice third") << Choice << none << three << Click2 << QMessageBox::Question << QString()
                                      << none << three << 2 << QSize(800, 0);
        QTest::newRow("choice extra labels ignored")
            << Choice << none << (three + QStringList{"Extra"}) << Escape << QMessageBox::Question << QString()
            << none << three << 2 << QSize(800, 0);
        QTest::newRow("choice of two: escape presses the second")
            << Choice << none << QStringList{"A", "B"} << Escape << QMessageBox::Question << QString() << none
            << QStringList{"A", "B"} << 1 << QSize(800, 0);
        QTest::newRow("choice of one") << Choice << none << QStringList{"A"} << Escape << QMessageBox::Question
                                       << QString() << none << QStringList{"A"} << 0 << QSize(800, 0);
        const QMessageBox::StandardButtons abortIgnore(QMessageBox::Abort | QMessageBox::Ignore);
        QTest::newRow("warning question: escape presses Abort")
            << WarningAsk << abortIgnore << QStringList() << Escape << QMessageBox::Warning << Info << abortIgnore
            << QStringList() << int(QMessageBox::Abort) << any;
        QTest::newRow("warning question: close presses Abort")
            << WarningAsk << abortIgnore << QStringList() << CloseWindow << QMessageBox::Warning << Info
            << abortIgnore << QStringList() << int(QMessageBox::Abort) << any;
        QTest::newRow("choice of none: Ok, nothing chosen")
            << Choice << none << QStringList() << Escape << QMessageBox::Question << QString() << ok
            << QStringList() << -1 << QSize(800, 0);
    }

    void realBox()
    {
        QFETCH(Helper, helper);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QStringList, labels);
        QFETCH(Close, close);

        SeenBox seen;
        ModalAction action([&seen, close](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box) {
                w->close();
                return;
            }
            seen.found = true;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.informativeText = box->informativeText();
            seen.icon = box->icon();
            seen.standardButtons = box->standardButtons();
            // Custom buttons by role: the labels' order is yes, no, reject.
            QList<QAbstractButton *> custom;
            for (const auto role : {QMessageBox::YesRole, QMessageBox::NoRole, QMessageBox::RejectRole}) {
                for (QAbstractButton *b : box->buttons()) {
                    if (box->standardButton(b) == QMessageBox::NoButton && box->buttonRole(b) == role)
                        custom << b;
                }
            }
            for (QAbstractButton *b : box->buttons()) {
                if (box->standardButton(b) == QMessageBox::NoButton && !custom.contains(b))
                    custom << b; // a role it should not have
            }
            for (QAbstractButton *b : custom)
                seen.buttonTexts << b->text();
            seen.hasParent = box->parentWidget() != nullptr;
            seen.modality = box->windowModality();
            seen.size = box->size();
            switch (close) {
            case Escape:
                QTest::keyClick(box, Qt::Key_Escape);
                break;
            case CloseWindow:
                box->close();
                break;
            case ClickYes:
                box->button(QMessageBox::Yes)->click();
                break;
            case Click0:
            case Click1:
            case Click2:
                custom.at(close - Click0)->click();
                break;
            }
        });
        const int result = call(helper, buttons, labels);

        QVERIFY(action.ran());
        QVERIFY2(!action.stuck(), "the box did not close");
        QVERIFY(seen.found);
        QCOMPARE(seen.title, Title);
        QCOMPARE(seen.text, Text);
        QTEST(seen.informativeText, "informative");
        QTEST(seen.icon, "icon");
        QTEST(seen.standardButtons, "shownStandard");
        QTEST(seen.buttonTexts, "shownTexts");
        QVERIFY(!seen.hasParent);
        QCOMPARE(seen.modality, Qt::ApplicationModal);
        QFETCH(QSize, minimumSize);
        QVERIFY2(seen.size.width() >= minimumSize.width() && seen.size.height() >= minimumSize.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(seen.size.width()).arg(seen.size.height())));
        if (helper >= Question)
            QTEST(result, "expected");
        QCOMPARE(messageBoxesLeft(), 0);
    }

    // Enter, Escape and the close button on real boxes: the safe answer of the
    // offered set unless the caller named others.
    void realBoxAnswersSafely_data()
    {
        QTest::addColumn<Helper>("helper");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<int>("namedDefault");
        QTest::addColumn<int>("namedEscape");
        QTest::addColumn<int>("onEnter");
        QTest::addColumn<int>("onEscape"); // the close button too

        const QMessageBox::StandardButtons yesNo(QMessageBox::Yes | QMessageBox::No);
        const QMessageBox::StandardButtons fourWays(QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No
                                                    | QMessageBox::NoToAll);
        const int none = QMessageBox::NoButton;
        const int no = QMessageBox::No;
        QTest::newRow("question yes/no") << Question << yesNo << QStringList() << none << none << no << no;
        QTest::newRow("user yes/no") << User << yesNo << QStringList() << none << none << no << no;
        QTest::newRow("user with the alls") << User << fourWays << QStringList() << none << none << no << no;
        QTest::newRow("warning with the alls") << WarningAsk << fourWays << QStringList() << none << none << no << no;
        QTest::newRow("warning yes/no") << WarningAsk << yesNo << QStringList() << none << none << no << no;
        QTest::newRow("question yes/cancel")
            << Question << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::Cancel) << QStringList()
            << none << none << int(QMessageBox::Cancel) << int(QMessageBox::Cancel);
        QTest::newRow("renamed ignore/abort")
            << WarningAsk << QMessageBox::StandardButtons(QMessageBox::Abort | QMessageBox::Ignore) << QStringList()
            << none << none << int(QMessageBox::Abort) << int(QMessageBox::Abort);
        QTest::newRow("retry, cancel or reset: Enter retries")
            << Question
            << QMessageBox::StandardButtons(QMessageBox::Retry | QMessageBox::Cancel | QMessageBox::Reset)
            << QStringList() << int(QMessageBox::Retry) << int(QMessageBox::Cancel) << int(QMessageBox::Retry)
            << int(QMessageBox::Cancel);
        QTest::newRow("ok/ignore named ok")
            << User << QMessageBox::StandardButtons(QMessageBox::Ok | QMessageBox::Ignore) << QStringList()
            << int(QMessageBox::Ok) << int(QMessageBox::Ok) << int(QMessageBox::Ok) << int(QMessageBox::Ok);
        QTest::newRow("choice of three") << Choice << QMessageBox::StandardButtons() << QStringList{"a", "b", "c"}
                                         << none << none << 2 << 2;
        QTest::newRow("choice of two") << Choice << QMessageBox::StandardButtons() << QStringList{"a", "b"} << none
                                       << none << 1 << 1;
    }

    void realBoxAnswersSafely()
    {
        QFETCH(Helper, helper);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QStringList, labels);
        QFETCH(int, namedDefault);
        QFETCH(int, namedEscape);
        for (const Close how : {Enter, Escape, CloseWindow}) {
            ModalAction action([how](QWidget *w) { press(w, how); });
            const int result = call(helper, buttons, labels, QMessageBox::StandardButton(namedDefault),
                                    QMessageBox::StandardButton(namedEscape));
            QVERIFY(action.ran());
            QVERIFY2(!action.stuck(), "the box did not close");
            if (how == Enter)
                QTEST(result, "onEnter");
            else
                QTEST(result, "onEscape");
            QCOMPARE(messageBoxesLeft(), 0);
        }
    }

    // What a test's hook learns: the answers of Enter and of Escape.
    void hookCarriesTheSafeAnswers_data()
    {
        QTest::addColumn<Helper>("helper");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<int>("namedDefault");
        QTest::addColumn<int>("namedEscape");
        QTest::addColumn<int>("defaultAnswer"); // a button, or a choice's position
        QTest::addColumn<int>("escapeAnswer");
        const QMessageBox::StandardButtons yesNo(QMessageBox::Yes | QMessageBox::No);
        const int none = QMessageBox::NoButton;
        QTest::newRow("question") << Question << yesNo << QStringList() << none << none << int(QMessageBox::No)
                                  << int(QMessageBox::No);
        QTest::newRow("user, named") << User << QMessageBox::StandardButtons(QMessageBox::Retry | QMessageBox::Close)
                                     << QStringList() << int(QMessageBox::Retry) << none << int(QMessageBox::Retry)
                                     << int(QMessageBox::Close);
        QTest::newRow("warning") << WarningAsk << QMessageBox::StandardButtons(QMessageBox::Ok | QMessageBox::Cancel)
                                 << QStringList() << none << none << int(QMessageBox::Cancel)
                                 << int(QMessageBox::Cancel);
        QTest::newRow("nothing safe offered: the toolkit decides")
            << Question << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::Ok) << QStringList() << none
            << none << none << none;
        QTest::newRow("choice") << Choice << QMessageBox::StandardButtons() << QStringList{"a", "b", "c"} << none
                                << none << 2 << 2;
    }

    void hookCarriesTheSafeAnswers()
    {
        QFETCH(Helper, helper);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QStringList, labels);
        QFETCH(int, namedDefault);
        QFETCH(int, namedEscape);
        MessageBoxRecorder recorder;
        call(helper, buttons, labels, QMessageBox::StandardButton(namedDefault),
             QMessageBox::StandardButton(namedEscape));
        const MessageBoxRequest r = recorder.last();
        if (helper == Choice) {
            QTEST(r.defaultChoice, "defaultAnswer");
            QTEST(r.escapeChoice, "escapeAnswer");
            QCOMPARE(r.defaultButton, QMessageBox::NoButton);
        } else {
            QTEST(int(r.defaultButton), "defaultAnswer");
            QTEST(int(r.escapeButton), "escapeAnswer");
            QCOMPARE(r.defaultChoice, -1);
        }
    }

    // A box a caller builds itself gets the same answers.
    void handBuiltBoxAnswersSafely()
    {
        for (const Close how : {Enter, Escape, CloseWindow}) {
            QMessageBox box(QMessageBox::NoIcon, Title, Text, QMessageBox::Yes | QMessageBox::No);
            setSafeAnswers(box);
            ModalAction action([how](QWidget *w) { press(w, how); });
            QCOMPARE(box.exec(), int(QMessageBox::No));
            QVERIFY(action.ran());
        }
    }

    void warningQuestionRenamesItsButton()
    {
        QString shown;
        ModalAction action([&shown](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box) {
                w->close();
                return;
            }
            shown = box->button(QMessageBox::Ignore)->text();
            box->button(QMessageBox::Ignore)->click();
        });
        QCOMPARE(call(WarningAsk, QMessageBox::Abort | QMessageBox::Ignore, {}), int(QMessageBox::Ignore));
        QVERIFY(action.ran());
        QCOMPARE(shown, QStringLiteral("Continue anyway"));
        QCOMPARE(messageBoxesLeft(), 0);
    }

    void nonModalBoxDoesNotBlockAndDeletesItself()
    {
        UiSeams::showNonModalMessage(QMessageBox::Critical, Text, Title);
        QMessageBox *box = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *b = qobject_cast<QMessageBox *>(w))
                box = b;
        }
        QVERIFY(box);
        QPointer<QMessageBox> guard(box);
        QVERIFY(box->isVisible());
        QCOMPARE(box->windowModality(), Qt::NonModal);
        QVERIFY(box->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->windowTitle(), Title);
        QCOMPARE(box->text(), Text);
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        box->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(guard.isNull());
    }
};

QTEST_MAIN(MessageBoxesTest)
#include "tst_messageboxes.moc"
