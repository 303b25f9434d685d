// Pressure units for the screens: conversions in the unit the user chose,
// and the texts of the current pressure.
#include "backend.h"

#include "formatting.h"
#include "settingsstore.h"

namespace {
int storedUnit(const SettingsStore *settings)
{
    return settings->value(QStringLiteral("unitPre"), 0).toInt();
}
} // namespace

double BackEnd::convertToHpa(double value)
{
    return Formatting::unitToHpa(value, storedUnit(m_settings));
}

double BackEnd::convertToOther(double value)
{
    return Formatting::hpaToUnit(value, storedUnit(m_settings));
}

namespace {
// What the screens show for a pressure there is none of, rather than -2000.00 mb.
const QString NoPressureText = QStringLiteral("\u2013");
} // namespace

QString BackEnd::getFormatedPressure(int unit, double offset, int levelType, double levelValue)
{
    const double current = getCurrentPressure();
    if (current < 0.0)
        return NoPressureText;
    double p = Formatting::hpaToUnit(current + offset, unit);
    if (levelType != 1)
        p /= Formatting::seaLevelFactor(levelValue);
    return Formatting::fixed(p, 2 + Formatting::extraDecimals(unit)) + Formatting::unitSuffix(unit);
}

QString BackEnd::getFormatedPressureMb(double m_pressure)
{
    if (m_pressure < 0.0)
        return NoPressureText;
    return Formatting::fixed(m_pressure, 2) + Formatting::unitSuffix(Formatting::UnitMb);
}

QString BackEnd::getPressureUnit()
{
    return Formatting::unitName(storedUnit(m_settings));
}
