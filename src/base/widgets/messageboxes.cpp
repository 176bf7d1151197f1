#include "messageboxes.h"

#include "uiseams.h"

#include <QPushButton>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QSpacerItem>

#include <optional>

using UiSeams::MessageBoxRequest;

namespace {

std::optional<int> hooked(MessageBoxRequest::Kind kind, const QString &text,
                          const QString &informativeText, const QString &title,
                          QMessageBox::StandardButtons buttons, const QStringList &choices = {})
{
    const UiSeams::MessageBoxHook hook = UiSeams::messageBoxHook();
    if (!hook)
        return std::nullopt;
    return hook(MessageBoxRequest{kind, text, informativeText, title, buttons, choices});
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

void showWarningDetails(const QString &text, const QString &informativeText, const QString &title)
{
    if (hooked(MessageBoxRequest::WarningDetails, text, informativeText, title, QMessageBox::Ok))
        return;
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.setInformativeText(informativeText);
    box.exec();
}

int askQuestion(const QString &text, const QString &title, QMessageBox::StandardButtons buttons)
{
    if (const auto answer = hooked(MessageBoxRequest::Question, text, QString(), title, buttons))
        return *answer;
    QMessageBox box(QMessageBox::Question, title, text, buttons);
    return box.exec();
}

int askUser(const QString &text, const QString &informativeText, const QString &title,
            QMessageBox::StandardButtons buttons)
{
    if (const auto answer = hooked(MessageBoxRequest::User, text, informativeText, title, buttons))
        return *answer;
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons);
    box.setInformativeText(informativeText);
    setMinimumBoxSize(box, 660, 520);
    return box.exec();
}

int askChoice(const QString &text, const QString &title, const QStringList &buttons)
{
    const QStringList labels = buttons.mid(0, 3);
    if (const auto answer = hooked(MessageBoxRequest::Choice, text, QString(), title,
                                   QMessageBox::NoButton, labels))
        return *answer;
    static const QMessageBox::ButtonRole roles[] = {QMessageBox::YesRole, QMessageBox::NoRole,
                                                    QMessageBox::RejectRole};
    QMessageBox box(QMessageBox::Question, title, text);
    QList<QAbstractButton *> added;
    for (int i = 0; i < labels.size(); ++i)
        added.append(box.addButton(labels.at(i), roles[i]));
    setMinimumBoxSize(box, 800, 0);
    box.exec();
    return added.indexOf(box.clickedButton());
}

int askWarning(const QString &text, const QString &informativeText, const QString &title,
               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton renamed, const QString &renamedText,
               QMessageBox::StandardButton defaultButton)
{
    if (const UiSeams::MessageBoxHook hook = UiSeams::messageBoxHook()) {
        MessageBoxRequest request{MessageBoxRequest::WarningQuestion, text, informativeText, title, buttons, {}};
        request.renamedButton = renamed;
        request.renamedText = renamedText;
        request.defaultButton = defaultButton;
        return hook(request);
    }
    QMessageBox box(QMessageBox::Warning, title, text, buttons);
    box.setInformativeText(informativeText);
    if (QAbstractButton *button = renamed != QMessageBox::NoButton ? box.button(renamed) : nullptr)
        button->setText(renamedText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return box.exec();
}
