#include "measurementstotal.h"

#include "appglobals.h"
#include "deviceitem.h"
#include "hubroitem.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextEdit>

MeasurementsTotal::MeasurementsTotal(HubroItem *master, QWidget *parent) : QWidget(parent), m_master(master)
{
    setObjectName(QStringLiteral("MeasurementsTotal"));
    resize(640, 480);
    setMinimumSize(600, 400);
    setWindowTitle(tr("Measurements"));
    auto *gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    auto *label = new QLabel(tr("Collection of measurements is enabled for:"), this);
    label->setObjectName(QStringLiteral("label"));
    gridLayout->addWidget(label, 0, 0, 1, 3);
    te = new QTextEdit(this);
    te->setObjectName(QStringLiteral("te"));
    gridLayout->addWidget(te, 1, 0, 1, 3);
    gridLayout->addItem(new QSpacerItem(207, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 2, 0);
    pbOk = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/confirm.png")), tr("Ok"), this);
    pbOk->setObjectName(QStringLiteral("pbOk"));
    pbOk->setMinimumSize(200, 30);
    gridLayout->addWidget(pbOk, 2, 1);
    pbCancel = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/cancel.png")), tr("Cancel"), this);
    pbCancel->setObjectName(QStringLiteral("pbCancel"));
    pbCancel->setMinimumSize(200, 30);
    gridLayout->addWidget(pbCancel, 2, 2);

    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    connect(pbCancel, &QPushButton::clicked, this, &MeasurementsTotal::canceled);
    connect(pbOk, &QPushButton::clicked, this, [this] {
        m_confirmed = true;
        emit accepted();
        close();
    });
}

QString MeasurementsTotal::summaryText(const StoringMap &map, const HubroItem *master)
{
    QMap<QString, QString> texts;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const DeviceItem *device = it.key();
        if (!device)
            continue;
        const bool expander = masterDeviceTypes.contains(int(quint8(device->deviceType())));
        const QString name = device->itemTypeName();
        QString &text = texts[name];
        quint32 serial = device->serialNumber();
        if (serial == 0) {
            if (const auto *hubro = qobject_cast<const HubroItem *>(device))
                serial = hubro->serialNumber();
            else if (master)
                serial = master->serialNumber();
        }
        QString serialText = QString::number(serial);
        if (serialText.size() < 8)
            serialText += QLatin1Char('\t');
        QStringList titles;
        for (const QString &key : it.value())
            titles << ((expander && master) ? master->parameterTitle(key) : device->parameterTitle(key));
        text += QStringLiteral("\n%1:\t%2").arg(serialText, titles.join(QStringLiteral(", ")));
    }
    QString summary;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        summary += it.key() + it.value() + QStringLiteral("\n\n");
    return summary;
}

void MeasurementsTotal::showStoringMap(const StoringMap &map)
{
    te->setPlainText(summaryText(map, m_master));
    pbOk->setFocus();
}

void MeasurementsTotal::closeEvent(QCloseEvent *event)
{
    if (m_confirmed) {
        event->accept();
        return;
    }
    emit canceled();
    event->ignore();
}
