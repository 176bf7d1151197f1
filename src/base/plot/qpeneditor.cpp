#include "qpeneditor.h"

#include "uiseams.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <qcustomplot.h>

QPenEditor::QPenEditor(const QPen &pen, QWidget *parent) : QWidget(parent), m_pen(pen)
{
    setObjectName(QStringLiteral("QPenEditor"));
    setWindowTitle(tr("Graph editor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    if (parent)
        setWindowFlags(Qt::Window);
    resize(450, 370);
    setMinimumWidth(300);

    m_selectColor = new QPushButton(tr("Select color"), this);
    m_selectColor->setObjectName(QStringLiteral("pbSelectColor"));
    m_style = new QComboBox(this);
    m_style->setObjectName(QStringLiteral("cbStyle"));
    m_style->addItems({tr("No pen"), tr("Solid"), tr("Dash"), tr("Dot"), tr("Dash dot"), tr("Dash dot dot")});
    m_width = new QSlider(Qt::Horizontal, this);
    m_width->setObjectName(QStringLiteral("slider"));
    m_width->setRange(0, 10);
    m_width->setPageStep(1);
    m_cap = new QComboBox(this);
    m_cap->setObjectName(QStringLiteral("cbCapStyle"));
    m_cap->addItems({tr("Square"), tr("Flat"), tr("Round")});
    m_plot = new QCustomPlot(this);
    m_plot->setObjectName(QStringLiteral("plot"));
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("pbCancel"));
    auto *commitButton = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/save.png")), tr("Commit"), this);
    commitButton->setObjectName(QStringLiteral("pbCommit"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Color:"), this), 0, 0);
    grid->addWidget(m_selectColor, 0, 1);
    grid->addWidget(new QLabel(tr("Style:"), this), 1, 0);
    grid->addWidget(m_style, 1, 1);
    grid->addWidget(new QLabel(tr("Width:"), this), 2, 0);
    grid->addWidget(m_width, 2, 1);
    grid->addWidget(new QLabel(tr("Cap style:"), this), 3, 0);
    grid->addWidget(m_cap, 3, 1);
    grid->addWidget(m_plot, 4, 0, 1, 2);
    grid->setRowStretch(4, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(commitButton);
    grid->addLayout(buttons, 5, 0, 1, 2);

    // The controls show the pen as given; only the user's changes edit it.
    m_width->setValue(pen.width());
    const int style = int(pen.style());
    m_style->setCurrentIndex(style >= 0 && style < m_style->count() ? style : int(Qt::SolidLine));
    m_cap->setCurrentIndex(capIndex(pen.capStyle()));

    m_plot->setBackground(QBrush(QColor(240, 240, 240)));
    m_plot->addGraph();
    m_plot->graph(0)->setData({1, 2, 3, 4, 5}, {1, 1, 2, 3, 3});
    m_plot->xAxis->setRange(0.5, 5.5);
    m_plot->yAxis->setRange(0.5, 3.5);
    applyPen();

    connect(m_width, &QSlider::valueChanged, this, [this](int value) {
        m_pen.setWidth(value);
        applyPen();
    });
    connect(m_style, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        m_pen.setStyle(Qt::PenStyle(index));
        applyPen();
    });
    connect(m_cap, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        m_pen.setCapStyle(capOfIndex(index));
        applyPen();
    });
    connect(m_selectColor, &QPushButton::clicked, this, &QPenEditor::selectColour);
    connect(commitButton, &QPushButton::clicked, this, &QPenEditor::commit);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

QPenEditor::~QPenEditor() = default;

int QPenEditor::capIndex(Qt::PenCapStyle cap)
{
    switch (cap) {
    case Qt::SquareCap:
        return 0;
    case Qt::FlatCap:
        return 1;
    case Qt::RoundCap:
        return 2;
    default:
        return 1;
    }
}

Qt::PenCapStyle QPenEditor::capOfIndex(int index)
{
    switch (index) {
    case 0:
        return Qt::SquareCap;
    case 2:
        return Qt::RoundCap;
    default:
        return Qt::FlatCap;
    }
}

void QPenEditor::applyPen()
{
    m_plot->graph(0)->setPen(m_pen);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void QPenEditor::selectColour()
{
    const QColor colour = UiSeams::getColor(Qt::white, this);
    if (!colour.isValid())
        return;
    m_pen.setColor(colour);
    applyPen();
}

void QPenEditor::commit()
{
    if (m_committed)
        return;
    m_committed = true;
    emit penUpdated(m_pen);
    close();
}
