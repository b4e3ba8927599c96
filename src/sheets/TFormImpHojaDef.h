#pragma once

#include "calendars/Festivos.h"
#include "sheets/Listado.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace store {
class Database;
}
namespace reports {
class Band;
struct Element;
class Report;
} // namespace reports

// The monthly registration sheet: one A4 page per Listado row, laid out in millimetres.
class TFormImpHojaDef
{
public:
    TFormImpHojaDef(store::Database& db, bool verHoras, std::function<void(const QString&)> mensaje = {});
    ~TFormImpHojaDef();

    // Reads Listado and chooses the calendar; call after setting the flags, before printing.
    void AbrirFicheros();
    // Nothing to print when Listado is empty.
    bool vacio() const { return m_filas.empty(); }
    int hojas() const { return int(m_filas.size()); }
    reports::Report& QRImpHojaDef() { return *m_report; }

    bool SombSabados = false;
    bool SombDomingos = false;
    bool SombFestivos = false;
    bool CalendarioCentro = false;
    bool DiaSemana = false;

    QString NumCalendarioHoja;
    int AnyoHoja = 0;
    int MesHoja = 0;
    int DiasMes = 0;
    int NumDia = 0;

    // "RESUMEN HOJA DE REGISTRO HORARIO..." by working-time type, compared exactly.
    static QString titulo(const QString& tipoJornada);
    // "MAYO - 2019": long Spanish month name and year, capitals for a-z only.
    static QString mesAnyo(int anyo, int mes);
    // D L M X J V S
    static QString letraDia(QDate dia);

private:
    void construir();
    void DetailBand1BeforePrint(reports::Band& band);
    void QRSubDetail1BeforePrint(reports::Band& band);

    store::Database& m_db;
    bool m_verHoras;
    std::function<void(const QString&)> m_mensaje;
    std::unique_ptr<reports::Report> m_report;
    std::vector<FilaListado> m_filas;
    int m_fila = 0;
    festivos::Calendario m_calendario;
    // The centre names another calendar than the one applied: the caption then says "0" too.
    bool m_calendarioPropio = false;
    reports::Element* m_qrDia = nullptr;
};
