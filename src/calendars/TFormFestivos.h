#pragma once

#include "calendars/FestivosOficiales.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
namespace store {
class Database;
}

// Shows the days about to be marked in one calendar, with their names and types and what happens to the
// marks already there, and writes them all in one transaction on "Aplicar".
// Official holidays: the community is chosen in a list (the calendar's own preselected). A file: the type
// of the days the file does not type, and whether other marks are replaced.
class TFormFestivos : public QDialog
{
    Q_OBJECT

public:
    // The official holidays of `anio` for calendar `numero`, from `tabla`.
    TFormFestivos(store::Database& db, int numero, int anio, oficiales::Tabla tabla, QWidget* parent = nullptr);
    // The holidays of year `anio` in file `fichero`. Check with leido() before exec().
    TFormFestivos(store::Database& db, int numero, int anio, const QString& fichero, QWidget* parent = nullptr);
    ~TFormFestivos() override;

    // Why the file cannot be used; empty when it was read.
    const QString& errorFichero() const { return m_errorFichero; }
    void BotAplicarClick();
    void ComboComunidadChange();

    // Days written by "Aplicar".
    int Escritos = 0;

private:
    void construir(bool oficial);
    void previsualizar();

    store::Database& m_db;
    int m_numero;
    int m_anio;
    oficiales::Tabla m_tabla;
    QString m_fichero;
    QString m_errorFichero;
    std::vector<oficiales::Festivo> m_dias;
    QComboBox* m_comboComunidad = nullptr;
    QComboBox* m_comboTipo = nullptr;
    QCheckBox* m_ckReemplazar = nullptr;
    QLabel* m_labelAviso = nullptr;
    QTableWidget* m_rejilla = nullptr;
    QPushButton* m_botAplicar = nullptr;
};
