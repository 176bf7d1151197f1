#pragma once

#include "infocollector.h"

#include <QWidget>

class HubroItem;
class QPushButton;
class QTextEdit;

// The confirmation of a storing choice: the chosen devices by model, each
// with the titles of its chosen parameters. OK emits accepted() and closes
// (the window is then deleted); Cancel and the frame's close button emit
// canceled() and keep it.
class MeasurementsTotal : public QWidget
{
    Q_OBJECT
public:
    explicit MeasurementsTotal(HubroItem *master, QWidget *parent = nullptr);

    void showStoringMap(const StoringMap &map);
    // The summary text of a map: per model (in name order) the name, one line
    // per device and an empty line.
    static QString summaryText(const StoringMap &map, const HubroItem *master);

signals:
    void canceled();
    // OK was pressed; the only way the choice goes on.
    void accepted();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    HubroItem *m_master;
    QTextEdit *te;
    QPushButton *pbOk;
    QPushButton *pbCancel;
    bool m_confirmed = false;
};
