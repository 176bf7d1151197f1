#pragma once

#include <QDate>
#include <QDialog>

namespace Ui {
class AboutDialog;
}

// The version as shown: the build number after the last "." zero-padded to at
// least three digits ("1.14.7" -> "1.14.007"); a tail that is no number shows 000.
QString aboutVersionText(const QString &version);
// The compiler's build date ("Dec  5 2026") as a date; invalid when unreadable.
QDate buildDate(const char *compilerDate);
// The same as "dd.MM.yyyy" ("05.12.2026"); empty when unreadable.
QString buildDateText(const char *compilerDate);

// The program's About window: logo, title, version, build date and kind, and
// the maker's copyright and contact lines.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

private:
    Ui::AboutDialog *ui;
};
