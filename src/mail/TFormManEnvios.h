#pragma once

#include <QDialog>

class ModeloEnvios;
class QComboBox;
class QTableView;
namespace store {
class Database;
}

// "Envíos realizados": the register of sent mail, filtered by centre and by month, so a clerk can show what
// went where and when.
class TFormManEnvios : public QDialog
{
    Q_OBJECT

public:
    explicit TFormManEnvios(store::Database& db, QWidget* parent = nullptr);
    ~TFormManEnvios() override;

    void ComboCentrosChange();
    void ComboMesesChange();

private:
    void Filtrar();

    store::Database& m_db;
    ModeloEnvios* m_modelo = nullptr;
    QComboBox* m_centros = nullptr;
    QComboBox* m_meses = nullptr;
    QTableView* m_rejilla = nullptr;
};
