#pragma once

#include <QDate>
#include <QString>

// The months a run may cover, the same for the window and the batch tool.
namespace meses {

// At most this many months, first and last included: a longer range is almost always a typing slip, and it
// would write sheets until the disk is full.
inline constexpr int kMaximo = 120;

extern const QString kTextoFueraDeLimites; // a month before January 1900 or after December 9999
extern const QString kTextoFinAnterior;
extern const QString kTextoIntervaloLargo; // "El intervalo no puede pasar de 120 meses"

QDate primero(); // 1 January 1900
QDate ultimo();  // 1 December 9999
// True for any day of a month from January 1900 to December 9999.
bool permitido(QDate mes);
// Months from the start month to the end month, both included; days within the months do not count.
int cuantos(QDate inicio, QDate fin);
// Empty when a run may go from the start month to the end month; otherwise the reason, for the user.
QString comprobar(QDate inicio, QDate fin);

} // namespace meses
