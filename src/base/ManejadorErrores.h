#pragma once

#include <QObject>
#include <QString>
#include <exception>
#include <type_traits>
#include <utility>

class QWidget;

// The general error handler: an exception that escapes a user action ends that action with a message
// box carrying its text, and the program goes on. Every entry point from the event loop (slots, event
// handlers) runs its work through protegido(); reactions that code starts are plain calls, so a failure
// deep inside them still ends the whole action.
namespace errores {

// The text the user reads for an exception: the user's text of the program's own errors, the standard
// library's text of any other.
QString textoDe(std::exception_ptr error);
// Shows the failure through the interaction object.
void mostrar(QWidget* padre, std::exception_ptr error);

template <typename Accion> void protegido(QWidget* padre, Accion&& accion)
{
    try {
        std::forward<Accion>(accion)();
    } catch (...) {
        mostrar(padre, std::current_exception());
    }
}

// connect() whose slot runs under the handler; `ventana` is the context object and the message's parent.
// The slot takes either the signal's arguments or none.
template <typename Emisor, typename Senal, typename Ventana, typename Slot>
QMetaObject::Connection conectar(Emisor* emisor, Senal senal, Ventana* ventana, Slot slot)
{
    return QObject::connect(emisor, senal, ventana, [ventana, slot](auto&&... argumentos) {
        protegido(ventana, [&] {
            if constexpr (std::is_invocable_v<Slot, decltype(argumentos)...>)
                slot(argumentos...);
            else
                slot();
        });
    });
}

} // namespace errores
