#pragma once

#include <QDate>
#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
namespace calendarios {
class ModeloListaCalendarios;
}
namespace store {
class Database;
}

// Calendar management: the numbered calendars, their year views and the base calendar's, new and
// delete, and the copy of one year of the base calendar into every numbered calendar.
class TFormManCalendarios : public QDialog
{
    Q_OBJECT

public:
    explicit TFormManCalendarios(store::Database& db, QWidget* parent = nullptr);
    ~TFormManCalendarios() override;

    void BotCalendarioBaseClick();
    void BotVerCalendarioClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void ESeguroChange();
    void BotCopiarClick();
    void MemoErroresDblClick();
    // The official holidays of a year in several calendars at once.
    void BotFestivosOficialesClick();

    calendarios::ModeloListaCalendarios& modelo() const { return *m_modelo; }
    // The list's selected calendar, -1 when the list is empty.
    int seleccionado() const;

    // Passed to the year views and the new-calendar window.
    QDate Hoy = QDate::currentDate();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    bool haySeleccion();
    void recargar(int elegir = -1);

    store::Database& m_db;
    calendarios::ModeloListaCalendarios* m_modelo = nullptr;
    QTableView* m_dbGrid1 = nullptr;
    QLineEdit* m_eAnyo = nullptr;
    QLineEdit* m_eSeguro = nullptr;
    QPushButton* m_botCopiar = nullptr;
    QPlainTextEdit* m_memoErrores = nullptr;
};
