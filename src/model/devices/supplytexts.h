#pragma once

#include <QCoreApplication>
#include <QStringList>

// Names of the supply states that the repeaters and the mains sign report.
class SupplyTexts
{
    Q_DECLARE_TR_FUNCTIONS(SupplyTexts)
public:
    // Battery state 0-5: "No battery" ... "Need replacement". The repeaters
    // translate "Low voltage" and "Ok" as battery states; the sign does not.
    static QStringList batteryStates(bool disambiguated);
    // Good battery states: "Ok" and "Ok (charging)".
    static bool batteryGood(int state) { return state == 3 || state == 4; }
};
