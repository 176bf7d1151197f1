#include "supplytexts.h"

QStringList SupplyTexts::batteryStates(bool disambiguated)
{
    return {tr("No battery"),
            disambiguated ? tr("Low voltage", "Battery") : tr("Low voltage"),
            tr("Low voltage (charging)"),
            disambiguated ? tr("Ok", "Battery") : tr("Ok"),
            tr("Ok (charging)"),
            tr("Need replacement")};
}
