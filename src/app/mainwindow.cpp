#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "aboutdialog.h"
#include "logging.h"

#include <QApplication>

MainWindow::MainWindow(const QString &filePath, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_filePath(filePath)
{
    ui->setupUi(this);
    aboutDialog = new AboutDialog(nullptr);
    connect(ui->acAbout, &QAction::triggered, aboutDialog, &QWidget::show);

    logEventFilter = new ZorvoLog::EventFilter(this);
    qApp->installEventFilter(logEventFilter);
    connect(logEventFilter, &ZorvoLog::EventFilter::newMessage, this, &MainWindow::newLogMessage);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(logEventFilter);
    delete aboutDialog;
    delete ui;
}

void MainWindow::newLogMessage(int level, const QString &message)
{
    Q_UNUSED(level)
    Q_UNUSED(message)
}
