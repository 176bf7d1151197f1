#pragma once

// Tether's controller and service on Qt Bluetooth.

#include "tetherbackend.h"

class QtTetherBackend : public TetherBackend
{
public:
    // A central controller from the default local adapter to `address`.
    TetherController *createCentral(const QString &address, QObject *parent) override;
};
