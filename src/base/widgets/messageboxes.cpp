#include "messageboxes.h"

#include "uiseams.h"

#include <QPushButton>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QSpacerItem>

#include <optional>

using UiSeams::MessageBoxRequest;

namespace {

// The default and escape buttons a question gets: the caller's, else the safe answer.
struct Answers
{
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton;
};

Answers answersFor(QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                   QMessageBox::StandardButton escapeButton)
{
    const QMessageBox::StandardButton safe = safeAnswer(buttons);
    return {defaultButton != QMessageBox::NoButton ? defaultButton : safe,
            escapeButton != QMessageBox::NoButton ? escapeButton : safe};
}

std::optional<int> hooked(MessageBoxRequest request)
{
    const UiSeams::MessageBoxHook hook = UiSeams::messageBoxHook();
    if (!hook)
        return std::nullopt;
    return hook(request);
}

std::optional<int> hooked(MessageBoxRequest::Kind kind, const QString &text, const QString &informativeText,
                          const QString &title, QMessageBox::StandardButtons buttons, const Answers &answers = {})
{
    MessageBoxRequest request{kind, text, informativeText, title, buttons, {}};
    request.defaultButton = answers.defaultButton;
    request.escapeButton = answers.escapeButton;
    return hooked(request);
}

void applyAnswers(QMessageBox &box, const Answers &answers)
{
    if (answers.defaultButton != QMessageBox::NoButton && box.button(answers.defaultButton))
        box.setDefaultButton(answers.defaultButton);
    if (answers.escapeButton != QMessageBox::NoButton && box.button(answers.escapeButton))
        box.setEscapeButton(answers.escapeButton);
}

// The box computes its own fixed size from its layout when shown. The button
// row moves one row down; the freed row takes the width and, through a spacer
// beside the text rows, the extra height, so the texts stay at the top and the
// buttons at the bottom. Call after the texts and buttons are set, which
// rebuild the layout.
void setMinimumBoxSize(QMessageBox &box, int width, int height)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    auto *buttonBox = box.findChild<QDialogButtonBox *>();
    const int index = grid && buttonBox ? grid->indexOf(buttonBox) : -1;
    if (index < 0)
        return;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    const int columns = grid->columnCount();
    grid->removeWidget(buttonBox);
    grid->addWidget(buttonBox, row + 1, 0, 1, columns);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), row, 0, 1, columns);
    grid->setRowStretch(row, 1);
    if (height > 0)
        grid->addItem(new QSpacerItem(0, height, QSizePolicy::Fixed, QSizePolicy::Minimum), 0, columns, row + 2, 1);
}

} // namespace

QMessageBox::StandardButton safeAnswer(QMessageBox::StandardButtons buttons)
{
    for (const QMessageBox::StandardButton button :
         {QMessageBox::No, QMessageBox::Cancel, QMessageBox::Abort, QMessageBox::Close})
        if (buttons.testFlag(button))
            return button;
    return QMessageBox::NoButton;
}

void setSafeAnswers(QMessageBox &box, QMessageBox::StandardButton defaultButton,
                    QMessageBox::StandardButton escapeButton)
{
    applyAnswers(box, answersFor(box.standardButtons(), defaultButton, escapeButton));
}

void showCriticalMessage(const QString &text, const QString &title)
{
    if (hooked(MessageBoxRequest::Critical, text, QString(), title, QMessageBox::Ok))
        return;
    // No button set: the box adds its single Ok itself.
    QMessageBox box(QMessageBox::Critical, title, text);
    box.exec();
}

void showInformationMessage(const QString &text, const QString &title)
{
    if (hooked(MessageBoxRequest::Information, text, QString(), title, QMessageBox::Ok))
        return;
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    box.exec();
}

void showWarningMessage(const QString &text, const QString &title)
{
    if (hooked(MessageBoxRequest::Warning, text, QString(), title, QMessageBox::Ok))
        return;
    QMessageBox box(QMessageBox::Warning, title, text);
    box.exec();
}

namespace {
// A box with an informative text under the main text and one Ok.
void showDetails(MessageBoxRequest::Kind kind, QMessageBox::Icon icon, const QString &text,
                 const QString &informativeText, const QString &title)
{
    if (hooked(kind, text, informativeText, title, QMessageBox::Ok))
        return;
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.setInformativeText(informativeText);
    box.exec();
}
} // namespace

void showWarningDetails(const QString &text, const QString &informativeText, const QString &title)
{
    showDetails(MessageBoxRequest::WarningDetails, QMessageBox::Warning, text, informativeText, title);
}

void showInformationDetails(const QString &text, const QString &informativeText, const QString &title)
{
    showDetails(MessageBoxRequest::Information, QMessageBox::Information, text, informativeText, title);
}

int askQuestion(const QString &text, const QString &title, QMessageBox::StandardButtons buttons,
                QMessageBox::StandardButton defaultButton, QMessageBox::StandardButton escapeButton)
{
    const Answers answers = answersFor(buttons, defaultButton, escapeButton);
    if (const auto answer = hooked(MessageBoxRequest::Question, text, QString(), title, buttons, answers))
        return *answer;
    QMessageBox box(QMessageBox::Question, title, text, buttons);
    applyAnswers(box, answers);
    return box.exec();
}

int askUser(const QString &text, const QString &informativeText, const QString &title,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
            QMessageBox::StandardButton escapeButton)
{
    const Answers answers = answersFor(buttons, defaultButton, escapeButton);
    if (const auto answer = hooked(MessageBoxRequest::User, text, informativeText, title, buttons, answers))
        return *answer;
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons);
    box.setInformativeText(informativeText);
    setMinimumBoxSize(box, 660, 520);
    applyAnswers(box, answers);
    return box.exec();
}

int askChoice(const QString &text, const QString &title, const QStringList &buttons)
{
    const QStringList labels = buttons.mid(0, 3);
    MessageBoxRequest request{MessageBoxRequest::Choice, text, QString(), title, QMessageBox::NoButton, labels};
    request.defaultChoice = request.escapeChoice = int(labels.size()) - 1;
    if (const auto answer = hooked(request))
        return *answer;
    static const QMessageBox::ButtonRole roles[] = {QMessageBox::YesRole, QMessageBox::NoRole,
                                                    QMessageBox::RejectRole};
    QMessageBox box(QMessageBox::Question, title, text);
    QList<QAbstractButton *> added;
    for (int i = 0; i < labels.size(); ++i)
        added.append(box.addButton(labels.at(i), roles[i]));
    setMinimumBoxSize(box, 800, 0);
    // The last label answers Enter as well as Escape: the first would act.
    if (!added.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton *>(added.last()));
        box.setEscapeButton(added.last());
    }
    box.exec();
    return added.indexOf(box.clickedButton());
}

int askWarning(const QString &text, const QString &informativeText, const QString &title,
               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton renamed, const QString &renamedText,
               QMessageBox::StandardButton defaultButton, QMessageBox::StandardButton escapeButton)
{
    const Answers answers = answersFor(buttons, defaultButton, escapeButton);
    MessageBoxRequest request{MessageBoxRequest::WarningQuestion, text, informativeText, title, buttons, {}};
    request.renamedButton = renamed;
    request.renamedText = renamedText;
    request.defaultButton = answers.defaultButton;
    request.escapeButton = answers.escapeButton;
    if (const auto answer = hooked(request))
        return *answer;
    QMessageBox box(QMessageBox::Warning, title, text, buttons);
    box.setInformativeText(informativeText);
    if (QAbstractButton *button = renamed != QMessageBox::NoButton ? box.button(renamed) : nullptr)
        button->setText(renamedText);
    applyAnswers(box, answers);
    return box.exec();
}
