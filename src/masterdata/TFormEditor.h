#pragma once

#include <QDialog>
#include <functional>
#include <vector>

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class TMD;
namespace store {
class Database;
}

// What the three record editors share: the operation label, the edit fields, and the navigator whose every
// button closes the window once its action has succeeded. A failed store keeps the window open with the
// typed values; Escape or the title bar abandon the pending change.
class TFormEditor : public QDialog
{
    Q_OBJECT

public:
    static QString textoNoEncontrada() { return QStringLiteral("ERROR: empresa no encontrada"); }

    static QString textoGuardarCambios() { return QStringLiteral("¿Guardar los cambios?"); }

    // The navigator's buttons, as a user presses them.
    void BotGrabarClick();
    void BotCancelarClick();
    // Escape, the title bar and "Cancelar" come here: with typed changes it asks whether to store them first.
    void reject() override;

protected:
    TFormEditor(TMD& md, const QString& titulo, QWidget* parent);

    // Loads the requested record or starts a new one; false when the requested one does not exist.
    virtual bool cargar() = 0;
    // Stores the fields; throws maestros::Rechazo or store::StoreError.
    virtual void grabar() = 0;
    // The edit that shows a field, for the focus after a refusal.
    virtual QWidget* controlDe(const QString& campo);

    QLineEdit* campo(const QString& nombre, const QString& etiqueta, int ancho = 0, bool mayusculas = false);
    // An edit field not yet placed in the form.
    QLineEdit* nuevoCampo(const QString& nombre, int ancho = 0, bool mayusculas = false);
    QLabel* etiqueta(const QString& nombre, const QString& texto, QWidget* campo);
    // A red note under the field with what `comprobar` finds wrong in its text, kept up to date as it is typed;
    // storing is still allowed. Named "LAviso" followed by the field's name.
    QLabel* aviso(QLineEdit* campo, QString (*comprobar)(const QString&));
    // Shows beside a field how many of its `limite` characters remain. The field takes more, never cutting a
    // pasted text, and storing refuses a longer value naming the field by `rotulo` ("El nombre del centro").
    // A field that shares its row with other controls gets the label unplaced: the caller puts it in that row.
    QLabel* contador(QLineEdit* campo, int limite, const QString& rotulo);
    // Shown, never typed, and skipped by the Tab key; it looks so.
    static void soloLectura(QLineEdit* campo, Qt::FocusPolicy foco = Qt::NoFocus);
    QCheckBox* casilla(const QString& nombre, const QString& texto);
    QPushButton* botonNavegador(const QString& nombre, const QString& texto);
    void ponerOperacion(const QString& texto);
    // What is shown now counts as stored: closing asks nothing until something else is typed.
    void marcarSinCambios();
    bool hayCambios() const;
    // Runs a store step; refusals and store errors become a message and false.
    template <typename Paso> bool intentar(Paso&& paso);
    void mostrarMensaje(const QString& texto);

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    TMD& m_md;
    store::Database& m_db;
    QLabel* m_lOperacion = nullptr;
    QFormLayout* m_formulario = nullptr;
    QWidget* m_navegador = nullptr;
    QPushButton* m_botGrabar = nullptr;
    QPushButton* m_botCancelar = nullptr;
    bool m_hayRegistro = false;

private:
    bool intentarPaso(const std::function<void()>& paso);
    QStringList estadoCampos() const;
    struct Limite
    {
        QLineEdit* campo;
        int limite;
        QString rotulo;
    };
    std::vector<Limite> m_limites;
    bool m_cargado = false;
    QStringList m_estadoGuardado;
};

template <typename Paso> bool TFormEditor::intentar(Paso&& paso)
{
    return intentarPaso(std::function<void()>(std::forward<Paso>(paso)));
}
