#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableView;
class TablaConsulta;
class TMD;

// "Búsqueda de trabajadores": finds workers by part of their name, NSS, NIF, telephone, alias or e-mail (case
// and accents ignored), or lists those without a centre, and opens the worker editor on the chosen one.
class TFormManTrabajadores2 : public QDialog
{
    Q_OBJECT

public:
    explicit TFormManTrabajadores2(TMD& md, QWidget* parent = nullptr);

    qint64 IdTrabajadorSel = 0;

    void BotBuscarClick();
    void CKFiltradoClick();
    // Opens the editor on the current row, then shows the list as now stored, back on the same worker.
    void BotManTrabajadoresClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* event) override;

private:
    TMD& m_md;
    TablaConsulta* m_query1 = nullptr;
    QLineEdit* m_busquedaTxt = nullptr;
    QPushButton* m_botBuscar = nullptr;
    QCheckBox* m_ckFiltrado = nullptr;
    QPushButton* m_botManTrabajadores = nullptr;
    QTableView* m_dbGrid1 = nullptr;
    bool m_mostrada = false;
};
