#pragma once

#include <QDate>
#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
namespace calendarios {
class ModeloListaCalendarios;
}
namespace store {
class Database;
}

// A new numbered calendar: its description and how to fill it (empty, from the base calendar or from the
// calendar selected in the list, from 1 January of this year on). Nothing is stored until "confirmar".
class TFormAltaCalendario : public QDialog
{
    Q_OBJECT

public:
    explicit TFormAltaCalendario(store::Database& db, QWidget* parent = nullptr);
    ~TFormAltaCalendario() override;

    void RRellenoClick();
    void SpeedButton1Click();

    // The year the copy starts from.
    QDate Hoy = QDate::currentDate();
    // Number of the calendar created, 0 when none was.
    int NuevoCalendario = 0;

private:
    int seleccionado() const;

    store::Database& m_db;
    calendarios::ModeloListaCalendarios* m_modelo = nullptr;
    QLineEdit* m_dbEdit1 = nullptr;
    QButtonGroup* m_rRelleno = nullptr;
    QTableView* m_dbGrid1 = nullptr;
    QLabel* m_loperacion = nullptr;
    QCheckBox* m_ckOficiales = nullptr;
    QComboBox* m_comboComunidad = nullptr;
};
