#pragma once

#include "data/Constantes.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
namespace store {
class Database;
}

// The settings screen: edits the one settings row (options, PDF folder, mail account) and tests the account
// with a mail. Nothing reaches the database until the user saves; closing otherwise drops every change.
class TFormManConstantes : public QDialog
{
    Q_OBJECT

public:
    explicit TFormManConstantes(store::Database& db, QWidget* parent = nullptr);
    ~TFormManConstantes() override;

    // The row as edited so far.
    const Constantes& fila() const { return m_fila; }
    bool editando() const { return m_editando; }
    // Connect and whole-message time-outs of the test mail, in seconds.
    int segundosConexion = 15;
    int segundosTotal = 60;

    void SpeedButton1Click();
    void SpeedButton2Click(); // the extra authority's file
    void DBCKGenerarPDFClick();
    void DBCKImpresoraClick();
    void EmailTestChange();
    void BotPruebaMailClick();
    void botverpasswordClick();
    void BotConfiguraGmailClick();

    static QString textoPruebaOk() { return QStringLiteral("Prueba de envío OK"); }
    static QString textoPruebaError() { return QStringLiteral("ERROR en prueba de envío"); }
    static QString textoCertificadoNoConfiable();
    static QString textoPreguntaGmail();
    static QString textoCumplimentar() { return QStringLiteral("Cumplimentar los datos de la cuenta."); }
    static QString hostGmail() { return QStringLiteral("smtp.gmail.com"); }
    static QString direccionGmail() { return QStringLiteral("micuenta@gmail.com"); }

protected:
    bool eventFilter(QObject* objeto, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void crearControles();
    void conectar();
    void mostrarFila(); // the row's values into the controls, without reacting
    void editar();      // the row is being edited: the navigator offers save and cancel
    void DBNavigator1Click(bool grabar);
    void FormKeyDown(int tecla, Qt::KeyboardModifiers modificadores);

    store::Database& m_db;
    Constantes m_fila;
    bool m_editando = false;
    bool m_mostrando = false;
    bool m_probando = false;

    QCheckBox* m_aplicaCentro = nullptr;
    QCheckBox* m_sabados = nullptr;
    QCheckBox* m_domingos = nullptr;
    QCheckBox* m_festivos = nullptr;
    QCheckBox* m_calenxcentros = nullptr;
    QCheckBox* m_diasSemana = nullptr;
    QCheckBox* m_generarPdf = nullptr;
    QCheckBox* m_impresora = nullptr;
    QCheckBox* m_todosCentros = nullptr;
    QCheckBox* m_todosTrabajadores = nullptr;
    QCheckBox* m_multiempresa = nullptr;
    QCheckBox* m_verHoras = nullptr;
    QLineEdit* m_rutaPdf = nullptr;
    QToolButton* m_speedButton1 = nullptr;
    QLineEdit* m_nombreEnvio = nullptr;
    QLineEdit* m_direccionEnvio = nullptr;
    QLineEdit* m_host = nullptr;
    QLineEdit* m_puerto = nullptr;
    QLineEdit* m_usuario = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_certificado = nullptr;
    QToolButton* m_speedButton2 = nullptr;
    QSpinBox* m_conexiones = nullptr;
    QToolButton* m_verPassword = nullptr;
    QLineEdit* m_emailTest = nullptr;
    QPushButton* m_pruebaMail = nullptr;
    QCheckBox* m_ok = nullptr;
    QToolButton* m_configuraGmail = nullptr;
    QToolButton* m_grabar = nullptr;
    QToolButton* m_cancelar = nullptr;
    QPlainTextEdit* m_memoTexto = nullptr;
};
