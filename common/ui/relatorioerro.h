#pragma once
// The application-wide error report: an error no screen catches ends the action in progress and
// is shown in a stop-icon box titled with the application's title. Abort (a validation that
// already showed its own box) ends the action silently.

#include "data/dataset.h"

#include <QApplication>
#include <QString>
#include <exception>

// The application's title: the program file's name without its extension.
QString tituloAplicacao();

// The message as the report shows it: a full stop is appended when the last character sorts
// after the full stop (a letter or a digit, but not "!" or ")").
QString mensagemDoErro(const QString& mensagem);

// Shows the error box (through the dialogs service). Abort shows nothing. A lost or unreachable
// server and a row locked by another workstation are named in Portuguese on a first line, the
// server's message following.
void relataErro(const std::exception& e);
void relataErro(const QString& mensagem);

// An action of the operator, a gesture that may start one, or any other event, from its start to
// its end. Actions, gestures and error boxes nest: the OK pressed on a box an action shows is part
// of that action.
class AcaoEmCurso
{
public:
    enum class Tipo {
        Acao,   // a button's or a menu entry's action (protegido)
        Gesto,  // a key pressed, a mouse button pressed, a shortcut: the operator starts something
        Evento, // any other event
    };
    explicit AcaoEmCurso(Tipo tipo);
    ~AcaoEmCurso();
    AcaoEmCurso(const AcaoEmCurso&) = delete;
    AcaoEmCurso& operator=(const AcaoEmCurso&) = delete;

    // False: the action must not run. An outermost action or gesture on a connection the server
    // dropped connects again first; when the server is still away that is reported, once, and
    // every action nested in it ends silently.
    bool pode() const { return pode_; }
    // No action, gesture or error box in progress: this is where the operator starts.
    bool externa() const { return externa_; }
    // The operator's last start found the server still away.
    static bool servidorAusente();

private:
    Tipo tipo_;
    bool pode_ = true;
    bool externa_ = false;
};

// Runs an action; Abort ends it silently, any other error reaches the report.
// Returns true when the action ran to its end.
template <class F> bool protegido(F&& f)
{
    const AcaoEmCurso acao(AcaoEmCurso::Tipo::Acao);
    if (!acao.pode()) return false;
    try {
        f();
        return true;
    } catch (const Abort&) {
    } catch (const std::exception& e) {
        relataErro(e);
    }
    return false;
}

// QApplication whose event delivery reports an exception escaping any event handler instead of
// letting it end the program.
class Aplicacao : public QApplication
{
    Q_OBJECT
public:
    Aplicacao(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
