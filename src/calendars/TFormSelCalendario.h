#pragma once

#include <QDialog>

class QTableView;
class TablaConsulta;
class TMD;
namespace store {
class Database;
}

// "Calendarios:": picks a centre's calendar. Seleccion is "" when nothing was chosen, "0" for the base
// calendar, otherwise the chosen calendar's number. A description can be corrected in place.
class TFormSelCalendario : public QDialog
{
    Q_OBJECT

public:
    explicit TFormSelCalendario(TMD& md, QWidget* parent = nullptr);

    QString Seleccion;

    void SpeedButton3Click(); // "Base"
    void SpeedButton1Click(); // "Seleccionar calendario"
    void SpeedButton2Click(); // "&Salir"

private:
    store::Database& m_db;
    TablaConsulta* m_calendarios = nullptr;
    QTableView* m_dbGrid1 = nullptr;
};
