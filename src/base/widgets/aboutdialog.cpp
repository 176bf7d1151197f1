#include "aboutdialog.h"
#include "ui_aboutdialog.h"

#include <QCoreApplication>
#include <QLocale>

QString aboutVersionText(const QString &version)
{
    const int dot = version.lastIndexOf(QLatin1Char('.'));
    const QString head = version.left(dot + 1);
    const uint build = version.mid(dot + 1).toUInt(); // 0 when not a number
    return head + QStringLiteral("%1").arg(build, 3, 10, QLatin1Char('0'));
}

QDate buildDate(const char *compilerDate)
{
    // "Mmm dd yyyy" with a blank in front of a one-digit day.
    QString text = QString::fromLatin1(compilerDate);
    text.replace(QLatin1String("  "), QLatin1String(" "));
    return QLocale(QLocale::English).toDate(text, QStringLiteral("MMM d yyyy"));
}

QString buildDateText(const char *compilerDate)
{
    return buildDate(compilerDate).toString(QStringLiteral("dd.MM.yyyy"));
}

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent), ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);

    ui->lblVersion->setText(aboutVersionText(QCoreApplication::applicationVersion()));
    ui->lblDate->setText(buildDateText(__DATE__));
    ui->lblBuild->setText(tr("release"));
    ui->lblMid->setText(tr("Copyright © %1 Zorvo. All rights reserved.\nPhone: +0 000 000-00-00")
                            .arg(buildDate(__DATE__).year()));
    setModal(true);
    connect(ui->pushButton, &QPushButton::clicked, this, &QWidget::close);
}

AboutDialog::~AboutDialog()
{
    delete ui;
}
