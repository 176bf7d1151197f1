#pragma once

#include "appglobals.h"
#include "mainwindow.h"
#include "registerdeviceclasses.h"
#include "registermasterclass.h"
#include "uiseams.h"

#include <QDialog>
#include <QMessageBox>

// The window in a benchmark: every device class known, and no dialog waits
// for a person (no start-up device choice, boxes answered at once).
inline void prepareWindowBench()
{
    registerDeviceModelNames();
    registerDeviceClasses();
    registerMasterClass();
    MainWindow::setDeviceSelection([](MainWindow *) {});
    UiSeams::setMessageBoxHook([](const UiSeams::MessageBoxRequest &) { return int(QMessageBox::Ok); });
    UiSeams::setDialogHook([](QDialog *) { return int(QDialog::Rejected); });
}
