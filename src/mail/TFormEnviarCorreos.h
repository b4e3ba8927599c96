#pragma once

#include "mail/EnvioPdf.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
namespace store {
class Database;
}

// The sending screen: lists the PDF files of the folder, the user ticks some, and each goes to its centre's
// address with one result line per file. AutoEnvio runs the same on a screen never shown.
class TFormEnviarCorreos : public QDialog
{
    Q_OBJECT

public:
    explicit TFormEnviarCorreos(store::Database& db, QWidget* parent = nullptr);
    ~TFormEnviarCorreos() override;

    // The PDF folder, set by the caller before the screen is shown or AutoEnvio runs.
    QString CarpetaPDF;
    OpcionesCorreo opcionesCorreo; // time-outs; the screen adds its own repaint while waiting

    void LeerConstantes();
    void BotLeerArchivosClick();
    void BotSeltodoClick();
    void BotBorSelClick();
    void BotEnviarCorreosClick();
    void AutoEnvio();

    QStringList lineasResultado() const;
    bool enviando() const { return m_enviando; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void FormShow();
    void marcarTodo(bool marcado);

    store::Database& m_db;
    CuentaConstantes m_cuenta; // FormCreate: empty and not verified
    bool m_enviando = false;
    bool m_reenviarMarcados = true;

    QPushButton* m_leerArchivos = nullptr;
    QLineEdit* m_rutaPdf = nullptr;
    QLineEdit* m_asunto = nullptr;
    QPlainTextEdit* m_texto = nullptr;
    QListWidget* m_lista = nullptr;
    QPushButton* m_selTodo = nullptr;
    QPushButton* m_borSel = nullptr;
    QPushButton* m_enviar = nullptr;
    QProgressBar* m_progreso = nullptr;
    QLabel* m_enviandoEtiqueta = nullptr;
    QPlainTextEdit* m_resultado = nullptr;
};
