#pragma once

#include <QDialog>

class ModeloImportacion;
class QLabel;
class QPushButton;
class QTableView;
class TMD;
namespace store {
class Database;
}

// "Mantenimiento › Importar…": opens a spreadsheet, shows what it would create, change or refuse, and imports
// it in one transaction only when the clerk presses "Importar".
class TFormImportar : public QDialog
{
    Q_OBJECT

public:
    explicit TFormImportar(TMD& md, QWidget* parent = nullptr);

    static QString textoFiltro()
    {
        return QStringLiteral("Hojas de cálculo CSV (*.csv *.txt);;Todos los ficheros (*)");
    }

    // Reads the file and shows its preview; false, with a message, when it cannot be read.
    bool abrir(const QString& ruta);
    void BotAbrirClick();
    void BotPlantillaClick();
    void BotImportarClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void mostrar();

    store::Database& m_db;
    QString m_ruta;
    ModeloImportacion* m_modelo = nullptr;
    QLabel* m_lFichero = nullptr;
    QLabel* m_lTotales = nullptr;
    QTableView* m_grid = nullptr;
    QPushButton* m_botImportar = nullptr;
    bool m_mostrado = false;
};
