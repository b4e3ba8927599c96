#pragma once

#include <QDialog>

class QPushButton;
class QTableView;
class TablaConsulta;
class TMD;
namespace store {
class Database;
}

// "Mantenimiento de tablas": companies, the current company's centres and the current centre's workers, with
// the editors, the worker search and the deletions of companies and centres. Moving the company cursor makes
// that company the active one (MD.IdEmpresaActiva).
class TFormManTablas : public QDialog
{
    Q_OBJECT

public:
    explicit TFormManTablas(TMD& md, QWidget* parent = nullptr);

    static QString textoSinEmpresa() { return QStringLiteral("Debe crear antes una empresa"); }
    static QString textoSinCentro() { return QStringLiteral("Debe crear al menos un centro antes"); }
    static QString textoSinTrabajador()
    {
        return QStringLiteral("No hay ningún trabajador elegido en la lista. Elija uno, búsquelo con «buscar "
                              "trabajador» o dé de alta uno con «(+) alta nuevo trabajador».");
    }

    // The company, centre and worker under the cursors; 0 or empty when there is none.
    qint64 idEmpresaActual() const;
    qint64 idCentroActual() const;
    QString codCentroActual() const;
    qint64 idTrabajadorActual() const;

    void CargarTrabajadores(const QString& codcentro);
    void VerCalendario(int numero);

    void BotManEmpresasClick();     // "+"
    void SpeedButton3Click();       // "Datos empresa"
    void BotBorrarEmpresaClick();   // "Borrar empresa"
    void BotManCentrosClick();      // "(+) añadir centro"
    void BotModificarCentroClick(); // "modificar centro"
    void BotBorrarCentroClick();    // "borrar centro"
    void DBCentrosDblClick(int columna);
    void BotManTrabajadoresClick(); // "(+) alta nuevo trabajador"
    void SpeedButton2Click();       // "modificar trabajador"
    void SpeedButton1Click();       // "buscar trabajador"

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* panel(const QString& nombre, QTableView* rejilla, const QList<QPushButton*>& botones);
    QPushButton* boton(const QString& nombre, const QString& texto);
    QTableView* rejilla(const QString& nombre, TablaConsulta* modelo);
    // Reloads a grid and puts its cursor on the row with that id (the first row when it is gone), running
    // the cursor's reaction once.
    void recargarEmpresas(qint64 idEmpresa);
    void recargarCentros(qint64 idCentro);
    void recargarTrabajadores(qint64 idTrabajador);
    void EmpresasDataChange();
    void CentrosDataChange();
    void editarCentro(qint64 idCentro);
    void editarTrabajador(qint64 idTrabajador);
    static int filaActual(const QTableView* vista);
    static void ponerFila(QTableView* vista, int fila);

    TMD& m_md;
    store::Database& m_db;
    TablaConsulta* m_empresas = nullptr;
    TablaConsulta* m_centros = nullptr;
    TablaConsulta* m_trabajadores = nullptr;
    QTableView* m_dbEmpresas = nullptr;
    QTableView* m_dbCentros = nullptr;
    QTableView* m_dbTrabajadores = nullptr;
    QPushButton* m_botManEmpresas = nullptr;
    QPushButton* m_botBorrarEmpresa = nullptr;
    bool m_mostrada = false;
};
