#pragma once

#include <QDialog>

class QSpinBox;
class QTableWidget;
namespace store {
class Database;
}

// The official holidays of one year in several calendars at once, each with its own community (the one it
// remembers preselected), written in one transaction.
class TFormFestivosVarios : public QDialog
{
    Q_OBJECT

public:
    TFormFestivosVarios(store::Database& db, int anio, QWidget* parent = nullptr);
    ~TFormFestivosVarios() override;

    void BotAplicarClick();

    int Escritos = 0;

private:
    store::Database& m_db;
    QSpinBox* m_anyo = nullptr;
    QTableWidget* m_rejilla = nullptr;
    std::vector<int> m_numeros;
};
