#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class OutputControlDialog;
}

// Asks how to switch one output of a device: which output, the mask, the
// step length, the time in steps (or endless) and the state left at the end.
// Keeps its choices while it lives; the status line tells what was sent.
class OutputControlDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OutputControlDialog(QWidget *parent = nullptr);
    ~OutputControlDialog() override;

    // 1 "Output 1", 2 "Output 2".
    quint8 output() const;
    // 0 to 31.
    int mask() const;
    bool endState() const;
    // 0 "125 ms", 1 "1 s", 2 "8 s", 3 "32 s".
    int stepIndex() const;
    // The number of steps; 0xFF when endless.
    quint8 time() const;

    void setOutputSelectable(bool selectable);
    void setStatus(const QString &text);

private:
    void onEndlessToggled(bool endless);

    Ui::OutputControlDialog *ui;
};
